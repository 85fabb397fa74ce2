#include "player/DataWindow.h"

#include "components/MediaFile.h"
#include "framework/data/DataSource.h"
#include "storage/DbTable.h"
#include "storage/ItemTable.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

namespace {

const QString kAllGroups = QStringLiteral("* * *");

template <class T> T* place(QWidget* parent, int left, int top, int width, int height) {
    T* control = new T(parent);
    control->setGeometry(left, top, width, height);
    return control;
}

} // namespace

TData::TData(QWidget* parent) : TForm(parent) {
    setObjectName(QStringLiteral("Data"));
    setFixedSize(443, 361);
    SetFormStyle(fsStayOnTop);

    Table1 = new TDbTable(this);
    Table1->SetRunTimePath(QStringLiteral("."));
    Table1->SetReadOnly(true);
    Table1->SetShowDeleted(false);
    AddItemTableFields(*Table1);
    DataSource1 = new TDataSource(this);
    DataSource1->SetDataSet(Table1);

    Groups = place<QComboBox>(this, 8, 12, 238, 21);
    connect(Groups, &QComboBox::activated, this,
            [this] { Application().SafeCall(Groups, [this] { GroupsChange(Groups); }); });
    DBNavigator1 = place<TDBNavigator>(this, 258, 12, 176, 21);
    DBNavigator1->SetShowHint(false);
    DBNavigator1->SetDataSource(DataSource1);
    Panel3 = place<QFrame>(this, 257, 44, 178, 112);
    Panel3->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Image1 = place<QLabel>(Panel3, 2, 2, 174, 108);
    Label6 = place<QLabel>(this, 8, 261, 90, 13);
    Label6->setTextFormat(Qt::PlainText); // the project's captions are never markup
    Label6->setText(QStringLiteral("Picture/Media file"));
    SpeedButton4 = place<QPushButton>(this, 410, 258, 25, 21);
    SpeedButton4->setText(QStringLiteral("... "));
    Label7 = place<QLabel>(this, 8, 294, 90, 13);
    Label7->setTextFormat(Qt::PlainText);
    Label7->setText(QStringLiteral("Program File/URL"));
    SpeedButton5 = place<QPushButton>(this, 410, 291, 25, 21);
    SpeedButton5->setText(QStringLiteral("... "));
    SpeedButton1 = place<QPushButton>(this, 8, 324, 86, 25);
    SpeedButton2 = place<QPushButton>(this, 100, 324, 86, 25);
    FindBtn = place<QPushButton>(this, 256, 324, 86, 25);
    CloseBtn = place<QPushButton>(this, 349, 324, 86, 25);
    connect(CloseBtn, &QPushButton::clicked, this, [this] { close(); });

    MediaFile1 = new TMediaFile(this);
    MediaFile1->AutoPlay = true;
    MediaFile1->Multi = true;
    MediaFile1->StepPercent = 10;
    // The last device is the MIDI mapper.
    if (!MediaFile1->MidiDevices().isEmpty())
        MediaFile1->SetMidiPort(int(MediaFile1->MidiDevices().size()) - 1);
}

TData::~TData() {
    // The table tells its controls that it closes; they must still be there to hear it.
    try {
        Table1->Close();
    } catch (...) {
        // A destructor cannot report; the table's files are released all the same.
    }
}

QString TData::TableName() const {
    return Table1->TableName();
}

QString TData::RunTimePath() const {
    return Table1->RunTimePath();
}

bool TData::TableReadOnly() const {
    return Table1->ReadOnly();
}

bool TData::TableActive() const {
    return Table1->Active();
}

QString TData::RecordFilterText() const {
    return Table1->RecordFilterText();
}

bool TData::TableFiltered() const {
    return Table1->Filtered();
}

void TData::CloseTable() {
    Table1->Close();
}

void TData::SetTableFile(const QString& tableName, const QString& runTimePath) {
    Table1->SetTableName(tableName);
    Table1->SetRunTimePath(runTimePath);
}

void TData::SetTableEditable(bool editable) {
    TButtonSet buttons{nbFirst, nbPrior, nbNext, nbLast};
    if (editable)
        buttons.insert({nbInsert, nbDelete, nbPost, nbCancel});
    DBNavigator1->SetVisibleButtons(buttons);
    Table1->SetReadOnly(!editable);
    SpeedButton4->setEnabled(editable);
    SpeedButton5->setEnabled(editable);
}

void TData::GroupsChange(QObject*) {
    Table1->Close();
    const int index = Groups->currentIndex();
    const QString identifier =
        index >= 0 && index < int(GroupIdentifiers.size()) ? GroupIdentifiers[index] : QString();
    const bool oneGroup = identifier != kAllGroups;
    Table1->SetRecordFilterText(oneGroup ? identifier : QString());
    Table1->SetFiltered(oneGroup);
    Table1->Open();
}
