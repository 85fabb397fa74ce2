#pragma once

#include "framework/data/Exceptions.h"
#include "framework/forms/Application.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantList>

// The kind of a box: its icon, its buttons and what happens after it.
enum MsgType {
    mbInformation,
    mbExclamation,
    mbConfirmation,
    mbSelection,
    mbRetry,
    mbIgnore,
    mbStop,
    mbError,
    mbTerminate,
    mbDefault
};

// Raised, with an empty message, to end the running event handler after an mbError box.
ORV_DECLARE_EXCEPTION(EMsgError, Exception)

// The message box of a program: every question and message goes through it. It keeps the
// application's other windows disabled and out of the stay-on-top band while a box is up,
// and while it exists it is the application's error handler.
class TMsg : public QObject {
    Q_OBJECT
public:
    explicit TMsg(QObject* owner = nullptr);
    ~TMsg() override;
    TMsg(const TMsg&) = delete;
    TMsg& operator=(const TMsg&) = delete;

    bool ShowIcons = true;
    MsgType BoxType = mbInformation; // a stored setting only; a box's kind is always an argument
    int BoxButton = 1;               // default button, 1 to 3
    QString BoxCaption;
    QString BoxMessage;
    QStringList Messages; // addressed from 1
    QStringList Captions; // addressed from 1
    TNotifyEvent OnMessage;

    // The answer of the last box shown (IDOK, IDYES, ...).
    int BoxResult = 0;

    // Shows the text (which becomes BoxMessage) as a box of the kind captioned BoxCaption;
    // returns the answer.
    int ShowMsg(MsgType kind, const QString& text);
    // Shows line messageIndex of Messages (else BoxMessage) formatted with args, captioned
    // line captionIndex of Captions (else BoxCaption). Returns the answer, or 0 when the text
    // is empty and no box was shown.
    int ShowBox(MsgType kind, int captionIndex, int messageIndex, const QVariantList& args);

    // The application error handler this component installs: the text as a stop box.
    void ExceptionBox(QObject* sender, const std::exception& e);
    // The error handler that ends a silent abort: puts back the handler it replaced.
    void RestoreExceptionHook(QObject* sender, const std::exception& e);

private:
    struct AbortHook;
    void silentAbort();

    TExceptionEvent savedHandler_; // in force when this component was created
    TExceptionEvent abortSaved_;   // in force when the last silent abort began
};
