#pragma once

#include "common/EventLoop.h"
#include "common/MessageBoxAnswerer.h"
#include "editor/DesignWindow.h"
#include "editor/Dialogs.h"
#include "editor/EditorControls.h"
#include "editor/EntryDialog.h"
#include "framework/forms/Controls.h"
#include "platform/Help.h"
#include "platform/Shell.h"
#include "platform/media/SimulatedMediaSystem.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

// Who answers the item-table window's file dialog (the framework's, not the editor's): gets
// its title, filter entry and file name, and answers the chosen file or none. Returns what
// puts the previous answerer back.
using TItemTableDialogAnswer = std::function<std::optional<QString>(
    const QString& title, int filterIndex, const QString& fileName)>;
std::function<void()> AnswerItemTableDialogs(TItemTableDialogAnswer answer);

// The editor's windows in this process, its program file in "prog" of a temporary folder and
// projects in "proj" beside it. File, font and colour dialogs answer from a queue the test
// fills; help calls are recorded; documents and addresses go to the recording program.
class EditorTest : public testing::Test {
protected:
    struct DialogSeen {
        QString title;
        int filterIndex;
        QString fileName;
    };
    struct HelpCall {
        QString file;
        unsigned command;
        unsigned data;
    };

    void SetUp() override {
        ASSERT_TRUE(tmp_.isValid());
        root_ = QDir(tmp_.path()).canonicalPath();
        QDir(root_).mkpath("prog");
        QDir(root_).mkpath("proj");
        startFolder_ = QDir::currentPath();
        Application().Reset();
        Application().Title = QStringLiteral("Tavolin 1.1");
        Orvello::TForm1::CachedCdDriveLetter.clear();
        previousDialogs_ = Orvello::SetDialogHook([this](Orvello::TCommonDialog& d) {
            if (auto* file = qobject_cast<Orvello::TOpenDialog*>(&d))
                seen_.push_back({file->Title, file->FilterIndex, file->FileName});
            if (answers_.empty())
                return false;
            auto answer = answers_.front();
            answers_.pop_front();
            return answer(d);
        });
        previousHelp_ =
            SetWinHelpHook([this](const QString& file, unsigned command, unsigned data) {
                help_.push_back({file, command, data});
                return true;
            });
        Shell::SetDesktopOpener(QStringLiteral(ORV_RECORDARGS));
        media_ = std::make_shared<TSimulatedMediaSystem>();
        previousMedia_ = SetMediaSystem(media_);
        // The item-table window's own file dialog answers from its queue too.
        restoreItemTableDialogs_ =
            AnswerItemTableDialogs([this](const QString& title, int filterIndex,
                                          const QString& fileName) -> std::optional<QString> {
                seen_.push_back({title, filterIndex, fileName});
                if (fileAnswers_.empty() || fileAnswers_.front().isEmpty()) {
                    if (!fileAnswers_.empty())
                        fileAnswers_.pop_front();
                    return std::nullopt;
                }
                const QString answer = fileAnswers_.front();
                fileAnswers_.pop_front();
                return answer;
            });
    }
    void TearDown() override {
        Application().Reset();
        Orvello::SetDialogHook(previousDialogs_);
        restoreItemTableDialogs_();
        SetWinHelpHook(previousHelp_);
        Shell::SetDesktopOpener(QString());
        SetMediaSystem(previousMedia_);
        QDir::setCurrent(startFolder_);
    }

    // The item-table window's file dialog chooses this file next; an empty name cancels it.
    void ChooseInData(const QString& file) { fileAnswers_.push_back(file); }

    // Creates the editor's windows as the program does.
    Orvello::TForm1* Start(std::vector<Volumes::MountEntry> mounts = {}) {
        form_ = Orvello::CreateEditorWindows({root_ + "/prog/orvello", std::move(mounts)});
        return form_;
    }

    // The next file dialog chooses this file; the next one is cancelled.
    void Choose(const QString& file) {
        answers_.push_back([file](Orvello::TCommonDialog& d) {
            if (auto* f = qobject_cast<Orvello::TOpenDialog*>(&d))
                f->FileName = file;
            return true;
        });
    }
    void Cancel() {
        answers_.push_back([](Orvello::TCommonDialog&) { return false; });
    }
    // The next dialog is answered by the function given.
    void Answer(std::function<bool(Orvello::TCommonDialog&)> answer) {
        answers_.push_back(std::move(answer));
    }

    // Runs `action` once a modal window has come up (it runs in the window's modal loop).
    static void WhenModal(std::function<void()> action) {
        QTimer::singleShot(0, [action = std::move(action)] { action(); });
    }

    // Chooses an item of a list as the author does, so that its handler runs.
    static void ChooseItem(QComboBox* box, int index) {
        box->setCurrentIndex(index);
        emit box->activated(index);
    }

    // A project designed through the controls, with a value of its own in every key.
    static void DesignSample(Orvello::TForm1* f) {
        using ProjectFile::TProjectFont;
        ChooseItem(f->ComboBox3, 0);  // vertical
        ChooseItem(f->ComboBox1, 11); // Teal
        ChooseItem(f->ComboBox2, 1);  // White
        f->RadioButton2->click();
        f->BmpMode->setCurrentIndex(2);
        f->ImageFile->setText("back ground.bmp");
        f->Panel4->SetColor(0x123456);
        f->RadioButton1->click();
        f->CheckBox2->setChecked(false);
        f->IconFile->setText("disc.ico");
        f->CheckBox1->setChecked(false);
        f->CheckBox3->setChecked(false);
        f->SoundFile->setText("Tune.MID");
        f->Cap->setText("My CD");
        f->Title1->setText("Welcome");
        f->Title2->setText("Line one\\\\Line two");
        f->Copyright->setText("  \"(c) 2024\" Me  ");
        f->CenterTitle->setChecked(false);
        Orvello::SetProjectFont(
            f->Title1, TProjectFont{"Arial", 20, clYellow, true, true, false, true, false});
        Orvello::SetProjectFont(
            f->Title2, TProjectFont{"Courier New", 12, clAqua, true, false, true, false, true});
        // White on the white end colour, as the author chose it after the end colour.
        Orvello::SetProjectFont(
            f->Copyright, TProjectFont{"Verdana", 9, clWhite, true, false, false, false, false});
        f->HelpFile->setText("manual.txt");
        f->CkExit->setChecked(false);
        f->ExitBtn->setText("Quit");
        f->ActionBtn->setText("Menu");
        f->CKTables->setChecked(true);
        f->TablesBtn->setText("Data");
        f->CKFind->setChecked(false);
        f->FindBtn->setText("Search");
        f->FileListBtn->setText("Files");
        f->CKAbout->setChecked(false);
        f->AboutBtn->setText("Info");
        f->HelpBtn->setText("Help me");
        f->RMClick->setChecked(false);
        f->Caps->SetCell(0, 6, "Not found: %s");
        f->Caps->SetCell(0, 12, "Program");
        f->FOpenAtStart->setChecked(false);
        f->Fexe->setChecked(false);
        f->BCPanel->SetColor(0x00FF00);
        f->TCPanel->SetColor(0x0000FF);
        f->WExplorer->setChecked(false);
        f->CExplorer->setText("Files");
        f->CMSInfo->setText("System");
        f->WSoftware->setChecked(false);
        f->CSoftware->setText("Programs");
        f->ALine1->setText("Line A");
        f->ALine2->setText("Line B");
        f->ALine3->setText("Line C");
        f->ALine4->setText(QString::fromUtf8("Zoë & Łukasz"));
        f->AWebText->setText("Web:");
        f->AWeb->setText("http://x.example");
        f->AMailText->setText("Mail:");
        f->AMail->setText("me@x.example");
        Orvello::SetProjectFont(
            f->ListBox1, TProjectFont{"Georgia", 13, clBlack, true, true, false, false, false});
        f->StoreEntry(-1, {"Start", "?:/setup.exe", "?:", "/S", "1", "0"});
        f->StoreEntry(-1, {"", "", "", "", "0", "0"});
        f->StoreEntry(-1, {"Help", "*help", "", "", "0", "1"});
        f->StoreEntry(-1, {"Web", "http://x.example", "", "", "0", "0"});
        f->DBCheck->setChecked(true);
        f->DBEditable->setChecked(false);
        f->TableName->setText("items.dbf");
        f->TableTitle->setText("Items");
        f->StringGrid1->SetCell(1, 1, "Songs");
        f->StringGrid1->SetCell(2, 1, "song");
        f->StringGrid1->SetCell(1, 2, "Videos");
        f->StringGrid1->SetCell(2, 2, "video");
        f->StringGrid1->SetCell(1, 4, "Orphan");
    }

    // The colour a control paints in its middle.
    static TColor Painted(QWidget* control) {
        const QImage image = control->grab().toImage();
        return QColorToColor(image.pixelColor(image.rect().center()));
    }
    QString Path(const QString& relative) const { return root_ + "/" + relative; }
    void Write(const QString& relative, const QByteArray& bytes) {
        QDir(root_).mkpath(QFileInfo(relative).path());
        QFile f(Path(relative));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray Read(const QString& relative) const {
        QFile f(Path(relative));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    // A project file of INI lines.
    void Project(const QString& relative, const QStringList& lines) {
        Write(relative, lines.join("\r\n").toUtf8() + "\r\n");
    }

    QTemporaryDir tmp_;
    QString root_;
    QString startFolder_;
    MessageBoxAnswerer boxes_;
    Orvello::TForm1* form_ = nullptr;
    std::deque<std::function<bool(Orvello::TCommonDialog&)>> answers_;
    std::vector<DialogSeen> seen_;
    std::vector<HelpCall> help_;
    Orvello::TDialogHook previousDialogs_;
    TWinHelpHook previousHelp_;
    std::deque<QString> fileAnswers_;
    std::function<void()> restoreItemTableDialogs_;
    std::shared_ptr<TSimulatedMediaSystem> media_;
    std::shared_ptr<TMediaSystem> previousMedia_;
};
