#include "IndexTreeCheck.h"

#include <QSet>

namespace indexcheck {

namespace {

struct Walker {
    const QByteArray& file;
    int keyLength;
    TTreeReport report;
    QSet<int> seen;

    QByteArray Page(int n) {
        if (n < 1 || qint64(n + 1) * 512 > file.size()) {
            report.problem = QString("page %1 lies outside the file").arg(n);
            return {};
        }
        if (seen.contains(n)) {
            report.problem = QString("page %1 is reached twice").arg(n);
            return {};
        }
        seen.insert(n);
        return file.mid(qsizetype(n) * 512, 512) + QByteArray(512, '\0');
    }

    // Walks the subtree of page n at the given depth; returns its greatest key.
    QByteArray Walk(int n, int depth) {
        const QByteArray page = Page(n);
        if (!report.problem.isEmpty())
            return {};
        const int entrySize = keyLength + 8;
        const int count = Word32(page, 0);
        auto at = [&](int i) { return 4 + qsizetype(i) * entrySize; };
        if (Word32(page, at(0)) == 0) {
            if (report.depth == 0)
                report.depth = depth;
            if (report.depth != depth)
                report.problem = QString("leaf %1 at depth %2, others at %3")
                                     .arg(n)
                                     .arg(depth)
                                     .arg(report.depth);
            QByteArray last;
            for (int i = 0; i < count; ++i) {
                last = page.mid(at(i) + 8, keyLength);
                report.leaves.append({last, Word32(page, at(i) + 4)});
            }
            return last;
        }
        for (int i = 0; i < count && report.problem.isEmpty(); ++i) {
            const QByteArray greatest = Walk(Word32(page, at(i)), depth + 1);
            const QByteArray separator = page.mid(at(i) + 8, keyLength);
            if (report.problem.isEmpty() && separator != greatest)
                report.problem =
                    QString("entry %1 of page %2 holds \"%3\", its subtree ends "
                            "with \"%4\"")
                        .arg(i)
                        .arg(n)
                        .arg(QString::fromLatin1(separator), QString::fromLatin1(greatest));
        }
        if (!report.problem.isEmpty())
            return {};
        return Walk(Word32(page, at(count)), depth + 1);
    }
};

} // namespace

int Word32(const QByteArray& b, qsizetype at) {
    return int(quint32(quint8(b[at])) | quint32(quint8(b[at + 1])) << 8 |
               quint32(quint8(b[at + 2])) << 16 | quint32(quint8(b[at + 3])) << 24);
}

int Word16(const QByteArray& b, qsizetype at) {
    return quint8(b[at]) | quint8(b[at + 1]) << 8;
}

QByteArray Key(const QByteArray& text, int length) {
    return text.leftJustified(length, ' ', true);
}

QByteArray Folded(const QByteArray& key) {
    QByteArray f = key;
    for (char& c : f)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return f;
}

TTreeReport CheckTree(const QByteArray& file, int rootPage, int keyLength) {
    Walker w{file, keyLength, {}, {}};
    w.Walk(rootPage, 1);
    for (qsizetype i = 1; i < w.report.leaves.size() && w.report.problem.isEmpty(); ++i) {
        const TLeafEntry& a = w.report.leaves[i - 1];
        const TLeafEntry& b = w.report.leaves[i];
        const QByteArray fa = Folded(a.key);
        const QByteArray fb = Folded(b.key);
        if (fa > fb || (fa == fb && a.recNo >= b.recNo))
            w.report.problem = QString("leaf entries %1 and %2 are out of order").arg(i - 1).arg(i);
    }
    return w.report;
}

} // namespace indexcheck
