#include "components/Msg.h"

#include "framework/data/Format.h"
#include "framework/forms/Form.h"
#include "framework/forms/MessageBox.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>
#include <vector>

namespace {

struct KindStyle {
    unsigned icon;
    unsigned buttons;
};

KindStyle styleOf(MsgType kind) {
    switch (kind) {
    case mbExclamation:
        return {MB_ICONEXCLAMATION, MB_OK};
    case mbConfirmation:
        return {MB_ICONQUESTION, MB_YESNO};
    case mbSelection:
        return {MB_ICONQUESTION, MB_YESNOCANCEL};
    case mbRetry:
        return {MB_ICONQUESTION, MB_RETRYCANCEL};
    case mbIgnore:
        return {MB_ICONQUESTION, MB_ABORTRETRYIGNORE};
    case mbStop:
    case mbError:
        return {MB_ICONSTOP, MB_OK};
    case mbTerminate:
        return {MB_ICONEXCLAMATION, MB_OK};
    case mbInformation:
    case mbDefault:
        break;
    }
    return {MB_ICONINFORMATION, MB_OK};
}

unsigned defaultButtonBits(int button) {
    switch (button) {
    case 2:
        return MB_DEFBUTTON2;
    case 3:
        return MB_DEFBUTTON3;
    default:
        return MB_DEFBUTTON1;
    }
}

// Line index (counted from 1) of the list, or the fallback when the index is outside it.
const QString& lineOr(const QStringList& lines, int index, const QString& fallback) {
    return index >= 1 && index <= lines.size() ? lines[index - 1] : fallback;
}

// While a box is up, the application's other windows take no input and no stay-on-top window
// covers the box. Everything is put back when this goes, also when the box raised; forms
// freed meanwhile are skipped.
class BoxScope {
public:
    BoxScope() : focus_(QApplication::focusWidget()) {}
    // Apart from the constructor, so that whatever it has done is undone even when it fails.
    void Begin() {
        for (TForm* form : Application().Forms()) {
            if (form->isEnabled()) {
                form->setEnabled(false);
                disabled_.emplace_back(form);
            }
            if (form->isVisible() && form->FormStyle() == fsStayOnTop) {
                form->SetTopmost(false);
                form->raise();
                topmost_.emplace_back(form);
            }
        }
    }
    ~BoxScope() {
        for (const QPointer<TForm>& form : topmost_)
            if (form)
                form->SetTopmost(true);
        for (const QPointer<TForm>& form : disabled_)
            if (form)
                form->setEnabled(true);
        if (focus_)
            focus_->setFocus(Qt::OtherFocusReason);
    }
    BoxScope(const BoxScope&) = delete;
    BoxScope& operator=(const BoxScope&) = delete;

private:
    QPointer<QWidget> focus_;
    std::vector<QPointer<TForm>> disabled_;
    std::vector<QPointer<TForm>> topmost_;
};

} // namespace

// The error handler during a silent abort. A type of its own so that an abort that begins
// while another one is still pending (its EMsgError was caught before reaching the
// application) keeps the handler that was in force before both.
struct TMsg::AbortHook {
    QPointer<TMsg> msg;
    void operator()(QObject* sender, const std::exception& e) const {
        if (msg)
            msg->RestoreExceptionHook(sender, e);
        else
            Application().OnException = nullptr;
    }
};

TMsg::TMsg(QObject* owner) : QObject(owner), savedHandler_(Application().OnException) {
    // A handler that outlives its component (components freed out of creation order) falls
    // back to the application's own error box.
    Application().OnException = [self = QPointer<TMsg>(this)](QObject* sender,
                                                              const std::exception& e) {
        if (self)
            self->ExceptionBox(sender, e);
        else
            Application().ShowException(e);
    };
}

TMsg::~TMsg() {
    Application().OnException = savedHandler_;
}

int TMsg::ShowMsg(MsgType kind, const QString& text) {
    BoxMessage = text;
    return ShowBox(kind, 0, 0, {QVariant()});
}

int TMsg::ShowBox(MsgType kind, int captionIndex, int messageIndex, const QVariantList& args) {
    QString text = lineOr(Messages, messageIndex, BoxMessage);
    if (text.isEmpty())
        return 0;
    if (BoxButton < 1 || BoxButton > 3)
        BoxButton = 1;
    try {
        text = Format(text, args);
    } catch (const EConvertError&) {
        // A text that does not fit its arguments (a lone "%" in an error message) is shown as
        // it stands rather than raising again, which inside the error handler would recur.
    }
    const QString caption = lineOr(Captions, captionIndex, BoxCaption);
    if (kind == mbDefault) {
        if (text.contains(QLatin1Char('?')))
            kind = mbConfirmation;
        else if (text.contains(QLatin1Char('!')))
            kind = mbExclamation;
        else
            kind = mbInformation;
    }
    const KindStyle ks = styleOf(kind);
    const unsigned style =
        ((ShowIcons ? ks.icon : 0) + ks.buttons + defaultButtonBits(BoxButton)) & 0xFFFF;

    while (QGuiApplication::overrideCursor())
        QGuiApplication::restoreOverrideCursor();

    int result = 0;
    {
        BoxScope scope;
        scope.Begin();
        result = MessageBoxA(Application().MainForm(), text, caption, style);
    }

    BoxResult = result;
    if (OnMessage)
        OnMessage(this);
    if (kind == mbTerminate)
        Application().Terminate();
    else if (kind == mbError)
        silentAbort();
    return result;
}

void TMsg::silentAbort() {
    TExceptionEvent& handler = Application().OnException;
    if (const AbortHook* pending = handler.target<AbortHook>())
        abortSaved_ = pending->msg ? pending->msg->abortSaved_ : TExceptionEvent();
    else
        abortSaved_ = handler;
    handler = AbortHook{this};
    throw EMsgError();
}

void TMsg::ExceptionBox(QObject* /*sender*/, const std::exception& e) {
    BoxMessage = ExceptionMessage(e);
    ShowBox(mbStop, 0, 0, {QVariant()});
}

void TMsg::RestoreExceptionHook(QObject* /*sender*/, const std::exception& /*e*/) {
    Application().OnException = abortSaved_;
}
