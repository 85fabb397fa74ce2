#pragma once

#include "platform/ui/FolderBrowser.h"
#include "platform/ui/ShellWindows.h"

#include <QApplication>
#include <QPointer>
#include <QTimer>
#include <deque>
#include <optional>
#include <vector>

// Answers the shell's boxes of a test and records what each one showed. Boxes beyond the
// queued answers get Yes where they offer it, else OK.
class ShellAnswerer {
public:
    struct Box {
        QString caption;
        QString text;
        QMessageBox::StandardButtons buttons;
    };

    ShellAnswerer() {
        previous_ = SetShellMessageHook([this](const QString& caption, const QString& text,
                                               QMessageBox::StandardButtons buttons) {
            boxes_.push_back({caption, text, buttons});
            if (!answers_.empty()) {
                const QMessageBox::StandardButton a = answers_.front();
                answers_.pop_front();
                return a;
            }
            return buttons.testFlag(QMessageBox::Yes) ? QMessageBox::Yes : QMessageBox::Ok;
        });
    }
    ~ShellAnswerer() { SetShellMessageHook(std::move(previous_)); }
    ShellAnswerer(const ShellAnswerer&) = delete;
    ShellAnswerer& operator=(const ShellAnswerer&) = delete;

    void Queue(QMessageBox::StandardButton answer) { answers_.push_back(answer); }
    const std::vector<Box>& Boxes() const { return boxes_; }
    void Clear() { boxes_.clear(); }

private:
    std::deque<QMessageBox::StandardButton> answers_;
    std::vector<Box> boxes_;
    TShellMessageHook previous_;
};

// Answers the folder browsers that open while it lives, in order: selects the queued folder
// and confirms, or cancels for an empty answer. Records the title and the folder preselected
// when each browser had opened.
class FolderBrowserAnswerer {
public:
    struct Seen {
        QString title;
        QString preselected;
    };

    FolderBrowserAnswerer() {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
        timer_.start();
    }

    void Queue(std::optional<QString> folder) { answers_.push_back(std::move(folder)); }
    const std::vector<Seen>& Browsers() const { return seen_; }

private:
    void Poll() {
        auto* browser = qobject_cast<TFolderBrowser*>(QApplication::activeModalWidget());
        if (!browser || !browser->IsOpen() || browser == last_ || answers_.empty())
            return;
        last_ = browser;
        seen_.push_back({browser->Title(), browser->SelectedPath()});
        const std::optional<QString> answer = answers_.front();
        answers_.pop_front();
        if (answer) {
            browser->SetSelection(*answer);
            browser->accept();
        } else {
            browser->reject();
        }
    }

    QTimer timer_;
    std::deque<std::optional<QString>> answers_;
    std::vector<Seen> seen_;
    QPointer<QObject> last_; // a later browser may take the address of one that has gone
};
