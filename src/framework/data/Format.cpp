#include "framework/data/Format.h"

#include "framework/data/Exceptions.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

namespace {

[[noreturn]] void invalid(const QString& format) {
    throw EConvertError(
        QStringLiteral("Format '%1' invalid or incompatible with argument").arg(format));
}

bool isNilPointer(const QVariant& v) {
    return !v.isValid() || v.isNull() || v.metaType().id() == QMetaType::Nullptr;
}

bool isIntegral(const QVariant& v) {
    switch (v.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return true;
    default:
        return false;
    }
}

bool isFloat(const QVariant& v) {
    const int id = v.metaType().id();
    return id == QMetaType::Double || id == QMetaType::Float;
}

bool isText(const QVariant& v) {
    const int id = v.metaType().id();
    return id == QMetaType::QString || id == QMetaType::QChar || id == QMetaType::QByteArray ||
           id == QMetaType::Char;
}

// Thousands separators for "%n" and "%m", with "." as decimal point whatever the system's
// settings, so that formatted texts do not depend on the machine.
QString grouped(double value, int decimals) {
    QString s = QString::number(std::fabs(value), 'f', decimals);
    int dot = s.indexOf('.');
    if (dot < 0)
        dot = s.size();
    for (int i = dot - 3; i > 0; i -= 3)
        s.insert(i, ',');
    return value < 0 ? QStringLiteral("-") + s : s;
}

} // namespace

QString Format(const QString& format, const QVariantList& args) {
    QString out;
    int argIndex = 0;
    const int n = format.size();
    int i = 0;
    auto nextArg = [&]() -> const QVariant& {
        if (argIndex >= args.size())
            throw EConvertError(QStringLiteral("No argument for format '%1'").arg(format));
        return args[argIndex++];
    };
    auto readNumber = [&](int& value) -> bool {
        if (i < n && format[i] == '*') {
            ++i;
            const QVariant& v = nextArg();
            // Held to the bound of a written number; a negative one asks for nothing.
            if (!isIntegral(v) || v.toLongLong() > 100000)
                invalid(format);
            value = int(std::max<qint64>(v.toLongLong(), -1));
            return true;
        }
        if (i >= n || !format[i].isDigit())
            return false;
        qint64 acc = 0;
        while (i < n && format[i].isDigit()) {
            acc = acc * 10 + format[i].digitValue();
            if (acc > 100000)
                invalid(format);
            ++i;
        }
        value = int(acc);
        return true;
    };

    while (i < n) {
        const QChar c = format[i];
        if (c != '%') {
            out += c;
            ++i;
            continue;
        }
        ++i;
        if (i >= n)
            invalid(format);
        if (format[i] == '%') {
            out += '%';
            ++i;
            continue;
        }
        // optional "index:"
        int save = i;
        const int saveArg = argIndex; // a "*" read here is a width after all
        int number = 0;
        if (readNumber(number) && i < n && format[i] == ':') {
            if (number < 0 || number >= args.size())
                invalid(format);
            argIndex = number;
            ++i;
        } else {
            i = save;
            argIndex = saveArg;
        }
        bool left = false;
        if (i < n && format[i] == '-') {
            left = true;
            ++i;
        }
        int width = 0;
        readNumber(width);
        int precision = -1;
        if (i < n && format[i] == '.') {
            ++i;
            precision = 0;
            readNumber(precision);
        }
        if (i >= n)
            invalid(format);
        const QChar type = format[i].toLower();
        ++i;
        const QVariant& arg = nextArg();
        QString piece;
        switch (type.unicode()) {
        case 'd':
        case 'u': {
            if (!isIntegral(arg))
                invalid(format);
            qint64 v = arg.toLongLong();
            if (type == 'u' && v < 0)
                v = qint64(quint32(v));
            // The magnitude of the most negative number exists only unsigned.
            QString digits = QString::number(v < 0 ? 0 - quint64(v) : quint64(v));
            if (precision > digits.size())
                digits = QString(precision - digits.size(), '0') + digits;
            piece = v < 0 ? QStringLiteral("-") + digits : digits;
            break;
        }
        case 'x': {
            if (!isIntegral(arg))
                invalid(format);
            QString digits = QString::number(quint32(arg.toLongLong()), 16).toUpper();
            if (precision > digits.size())
                digits = QString(precision - digits.size(), '0') + digits;
            piece = digits;
            break;
        }
        case 'e':
        case 'f':
        case 'g':
        case 'n':
        case 'm': {
            if (!isFloat(arg) && !isIntegral(arg))
                invalid(format);
            if (isIntegral(arg) && !isFloat(arg))
                invalid(format);
            const double v = arg.toDouble();
            if (type == 'e')
                piece = QString::number(v, 'E', precision < 0 ? 14 : qMax(0, precision - 1));
            else if (type == 'f')
                piece = QString::number(v, 'f', precision < 0 ? 2 : precision);
            else if (type == 'g')
                piece = QString::number(v, 'g', precision < 0 ? 15 : qMax(1, precision));
            else
                piece = grouped(v, precision < 0 ? 2 : precision);
            break;
        }
        case 's': {
            if (!isText(arg))
                invalid(format);
            piece = arg.toString();
            if (precision >= 0 && piece.size() > precision)
                piece.truncate(precision);
            break;
        }
        case 'p': {
            quint64 v = 0;
            if (!isNilPointer(arg)) {
                if (!isIntegral(arg))
                    invalid(format);
                v = arg.toULongLong();
            }
            piece = QString::number(v, 16).toUpper().rightJustified(8, '0');
            break;
        }
        default:
            invalid(format);
        }
        if (piece.size() < width)
            piece = left ? piece.leftJustified(width, ' ') : piece.rightJustified(width, ' ');
        out += piece;
    }
    return out;
}
