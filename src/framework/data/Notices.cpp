#include "framework/data/Notices.h"

#include "framework/data/Exceptions.h"

#include <cstdio>
#include <utility>

namespace {

TShowMessageProc& ShowMessageProc() {
    static TShowMessageProc proc;
    return proc;
}

TCurrentExceptionProc& CurrentExceptionProc() {
    static TCurrentExceptionProc proc;
    return proc;
}

void WriteLine(const QString& text) {
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

} // namespace

QString ExceptionMessage(const std::exception& e) {
    if (auto* own = dynamic_cast<const Exception*>(&e))
        return own->Message;
    return QString::fromUtf8(e.what());
}

void ShowMessage(const QString& text) {
    if (ShowMessageProc())
        ShowMessageProc()(text);
    else
        WriteLine(text);
}

TShowMessageProc SetShowMessageProc(TShowMessageProc proc) {
    return std::exchange(ShowMessageProc(), std::move(proc));
}

void HandleCurrentException(QObject* sender) {
    if (CurrentExceptionProc()) {
        CurrentExceptionProc()(sender);
        return;
    }
    try {
        throw;
    } catch (const std::exception& e) {
        WriteLine(ExceptionMessage(e));
    } catch (...) {
        WriteLine(QStringLiteral("Unknown error"));
    }
}

TCurrentExceptionProc SetCurrentExceptionProc(TCurrentExceptionProc proc) {
    return std::exchange(CurrentExceptionProc(), std::move(proc));
}
