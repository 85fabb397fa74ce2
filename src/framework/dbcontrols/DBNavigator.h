#pragma once

#include "framework/data/DataSource.h"

#include <QWidget>
#include <array>
#include <functional>
#include <set>

class QToolButton;

enum TNavigateBtn {
    nbFirst,
    nbPrior,
    nbNext,
    nbLast,
    nbInsert,
    nbDelete,
    nbEdit,
    nbPost,
    nbCancel,
    nbRefresh,
};
using TButtonSet = std::set<TNavigateBtn>;
using TNavClickEvent = std::function<void(QObject* sender, TNavigateBtn button)>;

// A row of buttons that move through and edit the records of a data source. Buttons are
// enabled as the dataset allows: moving back only off the first record, forward only off
// the last, changes only when the dataset can be modified, post and cancel only while
// editing. The buttons take no focus, so a bound edit keeps it while a button is pressed.
class TDBNavigator : public QWidget {
    Q_OBJECT
public:
    explicit TDBNavigator(QWidget* parent = nullptr);
    ~TDBNavigator() override;

    TDataSource* DataSource() const { return link_.DataSource(); }
    void SetDataSource(TDataSource* source);
    const TButtonSet& VisibleButtons() const { return visible_; }
    void SetVisibleButtons(const TButtonSet& buttons);
    // Whether Delete asks "Delete record?" first.
    bool ConfirmDelete = true;
    // Whether the buttons show their hints as tool tips.
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool show);
    QToolButton* Button(TNavigateBtn button) const { return buttons_[size_t(button)]; }

    // Runs before a button's action; raising EAbort cancels the action silently.
    TNavClickEvent BeforeAction;

    // What a click on the button does.
    void BtnClick(TNavigateBtn button);

protected:
    void changeEvent(QEvent* event) override;

private:
    class Link;
    void UpdateButtons();

    class Link : public TDataLink {
    public:
        explicit Link(TDBNavigator* owner) : owner_(owner) {}
        TDBNavigator* owner_;

    protected:
        void ActiveChanged() override { owner_->UpdateButtons(); }
        void DataSetChanged() override { owner_->UpdateButtons(); }
        void DataSetScrolled(int) override { owner_->UpdateButtons(); }
        void EditingChanged() override { owner_->UpdateButtons(); }
    };

    Link link_{this};
    std::array<QToolButton*, 10> buttons_{};
    TButtonSet visible_;
    bool showHint_ = false;
};
