#pragma once

#include "framework/data/Exceptions.h"
#include "framework/data/Notices.h"

#include <QApplication>
#include <QIcon>
#include <QString>
#include <exception>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

class QObject;
class TForm;

// Qt's application object with two additions: whatever an event handler raises is handed to
// the application's error handler and never passes the event loop, and graphic controls stay
// beneath the windowed controls of their parent (Stacking.h).
class TQtApp : public QApplication {
public:
    TQtApp(int& argc, char** argv);
    ~TQtApp() override;
    bool notify(QObject* receiver, QEvent* event) override;

    // Reads the system's font list on a thread of its own while the first windows are built:
    // the first text measured waits only for what is not read by then.
    void PrepareFonts();

private:
    std::thread fontReader_;
};

// The application object of a program: title, icon, the application-wide error handler,
// the forms in creation order with the first one as main form, the hint and the terminate
// request.
class TApplication {
public:
    QString Title;
    QIcon Icon;
    QString Hint;
    TExceptionEvent OnException; // replaces the default error box when assigned
    TNotifyEvent OnHint;

    // Called from every place where an event handler's exception is caught. EAbort is
    // silent; an assigned OnException handles the rest, else ShowException.
    void HandleException(QObject* sender, const std::exception& e);
    // The same for the exception being handled in a catch block.
    void HandleCurrentException(QObject* sender);
    // The default error box: the text as a stop box captioned with the title.
    void ShowException(const std::exception& e);

    // Runs a handler and routes what it raises to HandleException. EHalt passes through.
    void SafeCall(QObject* sender, const std::function<void()>& handler);

    // The message box of the application: owned by the main form, the other forms disabled
    // while it is up.
    int MessageBox(const QString& text, const QString& caption, unsigned style);

    // Creates a form, makes the first one the main form and runs its OnCreate.
    template <class T, class... Args> T* CreateForm(Args&&... args) {
        T* form = new T(std::forward<Args>(args)...);
        AddForm(form);
        return form;
    }
    void AddForm(TForm* form);
    // Forgets a form (it is being destroyed). Frees nothing.
    void RemoveForm(TForm* form);
    const std::vector<TForm*>& Forms() const { return forms_; }
    TForm* MainForm() const { return mainForm_; }

    // Shows the main form and runs the message loop until it closes or Terminate is called.
    // Returns the exit code. Every form still alive gets its OnDestroy, in reverse order.
    int Run();
    // Frees every form (OnDestroy first), newest first.
    void DestroyForms();

    // Asks the message loop to end after the current message.
    void Terminate();
    bool Terminated() const { return terminated_; }
    // Ends the program at once with the exit code (raises EHalt).
    [[noreturn]] void Halt(int exitCode);
    void SetHint(const QString& hint);

    // Forgets forms, handlers and the terminate request: for tests that build programs anew.
    void Reset();

private:
    std::vector<TForm*> forms_;
    TForm* mainForm_ = nullptr;
    bool terminated_ = false;
    bool running_ = false;
    int haltCode_ = -1;
    friend class TQtApp;
};

TApplication& Application();
