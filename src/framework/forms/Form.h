#pragma once

#include "framework/forms/Application.h"

#include <QAbstractButton>
#include <QMargins>
#include <QPointer>
#include <QWidget>
#include <functional>

enum TFormStyle { fsNormal, fsStayOnTop };
enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TModalResult {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7
};

class TFramePlacer;

using TCloseEvent = std::function<void(QObject* sender, TCloseAction& action)>;
using TCloseQueryEvent = std::function<void(QObject* sender, bool& canClose)>;

// A top-level window with the lifecycle events the windows are written against. Handlers
// run under the application's error handler: what they raise is shown, not propagated.
// OnActivate runs at every activation; the first one also comes when the platform never
// activates the window by itself (no window manager), so a window can rely on it.
// Return on a focused push button clicks it; Return that no other control takes clicks the
// form's default button (the push button marked default), when it has one. Esc that no other
// control takes clicks the form's cancel button, when it has one.
class TForm : public QWidget {
    Q_OBJECT
public:
    explicit TForm(QWidget* parent = nullptr);
    ~TForm() override;

    TNotifyEvent OnCreate;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnDestroy;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

    TFormStyle FormStyle() const { return formStyle_; }
    void SetFormStyle(TFormStyle style);
    // The window's place in the stay-on-top band, apart from its style.
    void SetTopmost(bool topmost);
    bool IsTopmost() const;

    // The button that Esc clicks: the one that leaves the form without doing anything.
    void SetCancelButton(QAbstractButton* button) { cancelButton_ = button; }

    // Runs OnCreate; the application calls it once the form is built.
    void DoCreate();
    // Runs OnActivate, as the platform's activation does.
    void DoActivate();
    // Runs OnDestroy once; the application calls it before freeing the form.
    void DoDestroy();

    // Shows the form modally and returns its modal result once it is set or the form closes.
    int ShowModal();
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int result);
    bool Modal() const { return modal_; }

    bool Activated() const { return activatedOnce_; }

    // Runs `action` under the error handler once the form has been painted on screen after this
    // call: what the window's first frame does not need can wait for it. A form that is never
    // painted never runs it; the form's destruction cancels it.
    void AfterNextFrame(std::function<void()> action);

    // The frame that the window system has put around the window; none before it has.
    virtual QMargins FrameMargins() const;
    // Places the window by its frame, not its client area: `place` gives the screen position
    // of the frame's top left corner for the frame the window has. A window that gets its
    // frame only after this (a window manager frames a window once it is shown) is placed
    // again then, so that its frame stands where `place` says for that frame; and so it is
    // whenever its frame changes size later.
    void PlaceFrame(std::function<QPoint(const QMargins& frame)> place);
    // The window system has changed the window's frame (its size): the placement, while in
    // force, places the window again. The platform's notice comes here.
    void FrameChanged();

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void fire(const TNotifyEvent& handler);

    QPointer<TFramePlacer> framePlacer_;
    QPointer<QAbstractButton> cancelButton_;
    TFormStyle formStyle_ = fsNormal;
    bool activatedOnce_ = false;
    bool activationReported_ = false; // the stand-in ran OnActivate before the platform's event
    bool destroyed_ = false;
    bool modal_ = false;
    int modalResult_ = mrNone;
};
