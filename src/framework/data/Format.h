#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>

// The framework's Format: a format text with "%" specifiers ("%s", "%d", "%u", "%x", "%e",
// "%f", "%g", "%n", "%m", "%p", each with optional index "n:", "-", width and ".precision";
// "*" takes width or precision from the arguments) and "%%" for a percent sign.
// A specifier that does not fit its argument, or runs out of arguments, raises EConvertError.
// A null QVariant (or one holding std::nullptr_t) stands for a nil pointer argument.
QString Format(const QString& format, const QVariantList& args);
