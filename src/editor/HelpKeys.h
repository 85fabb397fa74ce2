#pragma once

#include <QObject>
#include <functional>

namespace Orvello {

// F1 anywhere in the editor's windows: asks for the help topic of the control that has the
// focus (its own context, else its parent's, up to its window).
class THelpKeys : public QObject {
    Q_OBJECT
public:
    explicit THelpKeys(std::function<void(int context)> show, QObject* parent = nullptr);
    ~THelpKeys() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void(int)> show_;
};

} // namespace Orvello
