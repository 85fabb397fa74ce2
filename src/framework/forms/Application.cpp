#include "framework/forms/Application.h"

#include "framework/forms/Form.h"
#include "framework/forms/MessageBox.h"
#include "framework/forms/Stacking.h"

#include <QCursor>
#include <QFontDatabase>
#include <QStatusTipEvent>
#include <algorithm>

TApplication& Application() {
    static TApplication app;
    return app;
}

TQtApp::TQtApp(int& argc, char** argv) : QApplication(argc, argv) {
    // The main form decides when the program ends, not the last visible window.
    setQuitOnLastWindowClosed(false);
    // The dataset layer links no windows; its notices and errors reach the user here.
    SetShowMessageProc(
        [](const QString& text) { Application().MessageBox(text, Application().Title, MB_OK); });
    SetCurrentExceptionProc([](QObject* sender) { Application().HandleCurrentException(sender); });
}

TQtApp::~TQtApp() {
    if (fontReader_.joinable())
        fontReader_.join();
}

void TQtApp::PrepareFonts() {
    if (!fontReader_.joinable())
        fontReader_ = std::thread([] { QFontDatabase::families(); });
}

bool TQtApp::notify(QObject* receiver, QEvent* event) {
    try {
        try {
            if (event->type() == QEvent::StatusTip)
                Application().SetHint(static_cast<QStatusTipEvent*>(event)->tip());
            StackAfterEvent(receiver, event);
            return QApplication::notify(receiver, event);
        } catch (...) {
            Application().HandleCurrentException(receiver); // passes EHalt on
        }
    } catch (const EHalt& halt) {
        // Also when an error handler halts.
        Application().haltCode_ = halt.ExitCode;
        Application().Terminate();
    } catch (...) {
        // An error handler that fails itself must not take the program down with it.
    }
    return true;
}

void TApplication::HandleException(QObject* sender, const std::exception& e) {
    if (dynamic_cast<const EAbort*>(&e))
        return;
    if (OnException) {
        // The handler may replace itself (the message box's silent abort does), so call a copy.
        TExceptionEvent handler = OnException;
        handler(sender, e);
    } else {
        ShowException(e);
    }
}

void TApplication::HandleCurrentException(QObject* sender) {
    try {
        throw;
    } catch (const EHalt&) {
        throw;
    } catch (const std::exception& e) {
        HandleException(sender, e);
    } catch (...) {
        HandleException(sender, Exception(QStringLiteral("Unknown error")));
    }
}

void TApplication::ShowException(const std::exception& e) {
    const QString text = ExceptionMessage(e);
    if (text.isEmpty())
        return;
    MessageBox(text, Title, MB_OK | MB_ICONSTOP);
}

void TApplication::SafeCall(QObject* sender, const std::function<void()>& handler) {
    try {
        handler();
    } catch (const EHalt&) {
        throw;
    } catch (...) {
        HandleCurrentException(sender);
    }
}

int TApplication::MessageBox(const QString& text, const QString& caption, unsigned style) {
    std::vector<TForm*> disabled;
    for (TForm* f : forms_)
        if (f->isEnabled()) {
            f->setEnabled(false);
            disabled.push_back(f);
        }
    int result = 0;
    try {
        result = MessageBoxA(mainForm_, text, caption, style);
    } catch (...) {
        for (TForm* f : disabled)
            f->setEnabled(true);
        throw;
    }
    for (TForm* f : disabled)
        f->setEnabled(true);
    return result;
}

void TApplication::AddForm(TForm* form) {
    forms_.push_back(form);
    if (!mainForm_)
        mainForm_ = form;
    form->DoCreate();
}

void TApplication::RemoveForm(TForm* form) {
    forms_.erase(std::remove(forms_.begin(), forms_.end(), form), forms_.end());
    if (mainForm_ == form)
        mainForm_ = nullptr;
}

int TApplication::Run() {
    if (mainForm_ && !terminated_) {
        mainForm_->show();
        if (!terminated_) {
            running_ = true;
            QApplication::exec();
            running_ = false;
        }
    }
    DestroyForms();
    return haltCode_ >= 0 ? haltCode_ : 0;
}

void TApplication::DestroyForms() {
    while (!forms_.empty()) {
        TForm* f = forms_.back();
        f->DoDestroy();
        delete f; // the destructor takes it off the list
    }
}

void TApplication::Terminate() {
    terminated_ = true;
    // Asking Qt to quit while no loop of ours runs would make every later loop (a modal box
    // among them) return at once; without a running loop the flag is the whole request.
    if (running_)
        QCoreApplication::exit(haltCode_ >= 0 ? haltCode_ : 0);
}

void TApplication::Halt(int exitCode) {
    throw EHalt(exitCode);
}

void TApplication::SetHint(const QString& hint) {
    Hint = hint;
    if (OnHint)
        OnHint(nullptr);
}

void TApplication::Reset() {
    DestroyForms();
    Title.clear();
    Hint.clear();
    OnException = nullptr;
    OnHint = nullptr;
    terminated_ = false;
    haltCode_ = -1;
}
