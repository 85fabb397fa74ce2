#include "framework/forms/Form.h"

#include "platform/WindowProperties.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

// Hears the events of a form and of its window, the window once the form has one.
class TFormListener : public QObject {
public:
    explicit TFormListener(TForm* form) : QObject(form), form_(form) {
        form->installEventFilter(this);
        watchWindow();
    }

protected:
    // A form shown for the first time has its window only now.
    void watchWindow() {
        QWindow* window = form_->windowHandle();
        if (window && window != window_) {
            window->installEventFilter(this);
            window_ = window;
        }
    }

    TForm* form_;

private:
    QPointer<QWindow> window_;
};

namespace {

// Watches a form and its window until the form is painted. An update request or an exposure
// of a window that is on screen paints it while the event is handled; what is queued from
// here runs once that paint is done.
class TFrameWatch : public TFormListener {
public:
    TFrameWatch(TForm* form, std::function<void()> action)
        : TFormListener(form), action_(std::move(action)) {}

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Show)
            watchWindow();
        const bool painting =
            (event->type() == QEvent::UpdateRequest || event->type() == QEvent::Expose) &&
            form_->windowHandle() && form_->windowHandle()->isExposed();
        if (painting && action_) {
            QMetaObject::invokeMethod(
                form_,
                [form = form_, action = std::move(action_)] {
                    Application().SafeCall(form, action);
                },
                Qt::QueuedConnection);
            action_ = nullptr;
            deleteLater();
        }
        return false;
    }

private:
    std::function<void()> action_;
};

} // namespace

// Keeps a form's frame where its placement says. Until the window system has framed the window,
// or has shown it without a frame, it places the window whenever it moves, is resized, shown,
// activated or exposed. After that, whenever the window system changes the frame's size (a
// window manager may settle it only after it has framed the window), it places the window
// again for the new frame.
class TFramePlacer : public TFormListener {
public:
    TFramePlacer(TForm* form, std::function<QPoint(const QMargins&)> place)
        : TFormListener(form), place_(std::move(place)) {
        Place(false);
    }

    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
        case QEvent::Show:
            watchWindow();
            [[fallthrough]];
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::WindowActivate:
            Place(false);
            break;
        case QEvent::Expose:
            Place(form_->windowHandle() && form_->windowHandle()->isExposed());
            break;
        default:
            break;
        }
        return false;
    }

    void Place(bool onScreen) {
        if (!framed_) {
            const QMargins frame = form_->FrameMargins();
            placeFor(frame);
            framed_ = !frame.isNull() || onScreen;
        }
        // The window system tells of changes to a window that exists.
        if (framed_ && !watching_ && form_->windowHandle()) {
            watching_ = true;
            WatchWindowProperties(this, form_->windowHandle()->winId(),
                                  [form = form_] { form->FrameChanged(); });
        }
    }

    // Places the window for a frame of another size wherever the window stands: the window
    // manager may still be carrying out moves asked of it before, so that says nothing yet.
    void FrameChanged() {
        const QMargins frame = form_->FrameMargins();
        if (framed_ && frame != frame_)
            placeFor(frame);
    }

private:
    // The client area goes where the frame is to be, plus the frame's left and top edges.
    void placeFor(const QMargins& frame) {
        frame_ = frame;
        const QPoint client = place_(frame) + QPoint(frame.left(), frame.top());
        if (form_->geometry().topLeft() != client)
            form_->setGeometry(QRect(client, form_->size()));
    }

    std::function<QPoint(const QMargins&)> place_;
    bool framed_ = false;
    bool watching_ = false;
    QMargins frame_;
};

TForm::TForm(QWidget* parent) : QWidget(parent, Qt::Window) {}

QMargins TForm::FrameMargins() const {
    const QWindow* window = windowHandle();
    return window ? window->frameMargins() : QMargins();
}

void TForm::PlaceFrame(std::function<QPoint(const QMargins& frame)> place) {
    delete framePlacer_;
    framePlacer_ = new TFramePlacer(this, std::move(place));
}

void TForm::FrameChanged() {
    if (framePlacer_)
        framePlacer_->FrameChanged();
}

void TForm::AfterNextFrame(std::function<void()> action) {
    new TFrameWatch(this, std::move(action));
    // A form on screen with nothing left to paint paints once more.
    update();
}

TForm::~TForm() {
    Application().RemoveForm(this);
}

void TForm::fire(const TNotifyEvent& handler) {
    if (handler)
        Application().SafeCall(this, [&] { handler(this); });
}

void TForm::SetFormStyle(TFormStyle style) {
    formStyle_ = style;
    SetTopmost(style == fsStayOnTop);
}

void TForm::SetTopmost(bool topmost) {
    if (IsTopmost() == topmost)
        return;
    if (QWindow* handle = windowHandle()) {
        // A window that exists changes band in place: re-creating it would hide and show it
        // again, running OnHide and OnShow for a window that never left the screen.
        Qt::WindowFlags flags = windowFlags();
        flags.setFlag(Qt::WindowStaysOnTopHint, topmost);
        overrideWindowFlags(flags);
        handle->setFlags(flags);
        return;
    }
    setWindowFlag(Qt::WindowStaysOnTopHint, topmost);
}

bool TForm::IsTopmost() const {
    return windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

void TForm::DoCreate() {
    if (!OnCreate)
        return;
    try {
        OnCreate(this);
    } catch (const EHalt&) {
        throw;
    } catch (...) {
        Application().HandleCurrentException(this);
    }
}

void TForm::DoActivate() {
    activatedOnce_ = true;
    fire(OnActivate);
}

void TForm::DoDestroy() {
    if (destroyed_)
        return;
    destroyed_ = true;
    fire(OnDestroy);
}

int TForm::ShowModal() {
    modalResult_ = mrNone;
    modal_ = true;
    setWindowModality(Qt::ApplicationModal);
    show();
    QPointer<TForm> self(this);
    QEventLoop loop;
    while (self && modalResult_ == mrNone && isVisible() && !Application().Terminated())
        loop.processEvents(QEventLoop::WaitForMoreEvents | QEventLoop::AllEvents);
    if (!self)
        return mrCancel;
    modal_ = false;
    if (modalResult_ == mrNone)
        modalResult_ = mrCancel;
    hide();
    setWindowModality(Qt::NonModal);
    return modalResult_;
}

void TForm::SetModalResult(int result) {
    modalResult_ = result;
    if (modal_ && result != mrNone)
        QTimer::singleShot(0, this, [] {}); // wake the modal loop
}

bool TForm::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        // The platform may deliver the activation that the first-show stand-in has already
        // reported; one activation runs OnActivate once.
        if (activationReported_)
            activationReported_ = false;
        else
            DoActivate();
    } else if (event->type() == QEvent::WindowDeactivate) {
        activationReported_ = false;
        fire(OnDeactivate);
    }
    return QWidget::event(event);
}

void TForm::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (event->key() == Qt::Key_Escape && modifiers == Qt::NoModifier && cancelButton_ &&
        cancelButton_->isVisible() && cancelButton_->isEnabled()) {
        event->accept();
        cancelButton_->click();
        return;
    }
    if (!enter || modifiers != Qt::NoModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    // A focused button is the one Return means, as on the system the windows come from; a
    // check box or a radio button hands it on to the default button like any other control.
    QAbstractButton* target = nullptr;
    QWidget* focus = focusWidget();
    if (qobject_cast<QPushButton*>(focus) || qobject_cast<QToolButton*>(focus))
        target = static_cast<QAbstractButton*>(focus);
    if (!target) {
        for (QPushButton* button : findChildren<QPushButton*>()) {
            if (button->isDefault() && button->window() == this && button->isVisible() &&
                button->isEnabled()) {
                target = button;
                break;
            }
        }
    }
    if (!target || !target->isEnabled()) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    target->click();
}

void TForm::closeEvent(QCloseEvent* event) {
    bool canClose = true;
    if (OnCloseQuery)
        Application().SafeCall(this, [&] { OnCloseQuery(this, canClose); });
    if (!canClose) {
        event->ignore();
        return;
    }
    TCloseAction action = Application().MainForm() == this ? caFree : caHide;
    if (OnClose)
        Application().SafeCall(this, [&] { OnClose(this, action); });
    if (action == caNone) {
        event->ignore();
        return;
    }
    event->accept();
    if (modal_ && modalResult_ == mrNone)
        modalResult_ = mrCancel;
    if (Application().MainForm() == this)
        Application().Terminate();
}

void TForm::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    fire(OnShow);
    if (!activatedOnce_) {
        // Without a window manager nothing activates a new window; do it once ourselves.
        QPointer<TForm> self(this);
        QTimer::singleShot(0, this, [self] {
            if (self && !self->activatedOnce_ && self->isVisible()) {
                self->activateWindow();
                if (!self->activatedOnce_) {
                    self->activationReported_ = true;
                    self->DoActivate();
                }
            }
        });
    }
}

void TForm::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    fire(OnHide);
}
