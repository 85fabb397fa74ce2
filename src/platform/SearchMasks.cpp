#include "platform/SearchMasks.h"

namespace {

// "*" and "?" as wildcards; "?"s and "*"s left when the name is used up stand for nothing.
bool wildcardMatch(QStringView mask, QStringView name) {
    qsizetype m = 0, n = 0;
    qsizetype starMask = -1, starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && (mask[m] == QLatin1Char('?') || mask[m] == name[n])) {
            ++m;
            ++n;
        } else if (m < mask.size() && mask[m] == QLatin1Char('*')) {
            starMask = m++;
            starName = n;
        } else if (starMask >= 0) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && (mask[m] == QLatin1Char('*') || mask[m] == QLatin1Char('?')))
        ++m;
    return m == mask.size();
}

bool maskMatch(const QString& mask, const QString& name) {
    const bool wild = mask.contains(QLatin1Char('*')) || mask.contains(QLatin1Char('?'));
    if (mask.endsWith(QLatin1String(".*")))
        return wildcardMatch(mask, name) || wildcardMatch(QStringView(mask).chopped(2), name);
    const bool allDots = mask.count(QLatin1Char('.')) == mask.size();
    if (mask.endsWith(QLatin1Char('.')) && !allDots) {
        const QStringView stem = QStringView(mask).chopped(1);
        return name.count(QLatin1Char('.')) == stem.count(QLatin1Char('.')) &&
               wildcardMatch(stem, name);
    }
    if (!wild)
        return name.contains(mask);
    return wildcardMatch(mask, name);
}

} // namespace

TSearchMasks::TSearchMasks(const QString& masks) {
    for (const QString& piece : masks.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString mask = piece.trimmed().toCaseFolded();
        if (!mask.isEmpty())
            masks_ << mask;
    }
}

bool TSearchMasks::Matches(const QString& name) const {
    return MatchesFolded(name.toCaseFolded());
}

bool TSearchMasks::MatchesFolded(const QString& foldedName) const {
    if (masks_.isEmpty())
        return true;
    for (const QString& mask : masks_)
        if (maskMatch(mask, foldedName))
            return true;
    return false;
}
