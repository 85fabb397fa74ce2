#pragma once

#include <QString>
#include <exception>
#include <string>

// The base of every exception this system raises: it carries the message text that the
// application's error handler shows. An empty message shows nothing.
class Exception : public std::exception {
public:
    explicit Exception(QString message = QString()) : Message(std::move(message)) {
        utf8_ = Message.toStdString();
    }
    const char* what() const noexcept override { return utf8_.c_str(); }

    QString Message;

private:
    std::string utf8_;
};

#define ORV_DECLARE_EXCEPTION(Name, Base)                                                          \
    class Name : public Base {                                                                     \
    public:                                                                                        \
        using Base::Base;                                                                          \
    };

// A format text that does not fit its arguments, or a text that is not a number.
ORV_DECLARE_EXCEPTION(EConvertError, Exception)
// A failed file or folder operation of the runtime (working folder, file stream).
ORV_DECLARE_EXCEPTION(EInOutError, Exception)
// Ends the running event handler without a message (the framework's silent abort).
ORV_DECLARE_EXCEPTION(EAbort, Exception)
// An object used as a class it is not.
ORV_DECLARE_EXCEPTION(EInvalidCast, Exception)

// Ends the program at once with an exit code; raised by Halt and caught by the program main.
class EHalt : public std::exception {
public:
    explicit EHalt(int code) : ExitCode(code) {}
    const char* what() const noexcept override { return "halt"; }
    int ExitCode;
};

// Message of any exception: ours carry their text, others their what().
QString ExceptionMessage(const std::exception& e);
