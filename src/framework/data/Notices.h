#pragma once

#include <QString>
#include <exception>
#include <functional>

class QObject;

using TNotifyEvent = std::function<void(QObject* sender)>;
using TExceptionEvent = std::function<void(QObject* sender, const std::exception& e)>;

// The dataset layer reaches the user through these two calls without linking any window code.
// The application object puts its message box and its error handler in place; a program
// without windows (a benchmark, a fuzzer) gets the texts on standard error.

// The framework's plain message box: the text, the application title, an OK button.
void ShowMessage(const QString& text);
using TShowMessageProc = std::function<void(const QString& text)>;
// Returns the previous one.
TShowMessageProc SetShowMessageProc(TShowMessageProc proc);

// Hands the exception being handled in a catch block to the application's error handler: for
// errors in notifications that have no caller to raise to.
void HandleCurrentException(QObject* sender);
using TCurrentExceptionProc = std::function<void(QObject* sender)>;
// Returns the previous one.
TCurrentExceptionProc SetCurrentExceptionProc(TCurrentExceptionProc proc);
