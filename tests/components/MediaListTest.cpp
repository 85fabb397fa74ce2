#include "MediaTestSupport.h"
#include "common/FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

class MediaListTest : public MediaFixture {
protected:
    void SetUp() override {
        MediaFixture::SetUp();
        previousHook_ = TMediaFile::SetDialogHook([this](TMediaFileDialog& dialog) {
            dialogs.push_back(dialog);
            dialog.Files = answer;
            return confirm;
        });
        root = dir.path() + "/";
    }
    void TearDown() override {
        TMediaFile::SetDialogHook(previousHook_);
        TMediaFile::MaxFiles = 100000;
        MediaFixture::TearDown();
    }

    void Touch(const QString& relative, const QByteArray& content = "x") {
        const QString path = root + relative;
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    // root: B.WAV a.wav notes.txt, sub1: c.wav, sub1/deep: d.wav, sub2: e.mid
    void MakeTree() {
        Touch("B.WAV");
        Touch("a.wav");
        Touch("notes.txt");
        Touch("sub1/c.wav");
        Touch("sub1/deep/d.wav");
        Touch("sub2/e.mid");
    }
    static QByteArray Read(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    QTemporaryDir dir;
    QString root;
    std::vector<TMediaFileDialog> dialogs;
    QStringList answer;
    bool confirm = true;

private:
    TMediaFileDialogHook previousHook_;
};

} // namespace

TEST_F(MediaListTest, ScanListsAFoldersFilesThenItsSubfoldersDepthFirst) {
    MakeTree();
    TMediaFile& m = Make();
    m.AutoPlay = false;
    m.ScanMask = root + "*.*";
    m.Scan();
    EXPECT_EQ(m.Files, QStringList({root + "a.wav", root + "B.WAV", root + "sub1/c.wav",
                                    root + "sub1/deep/d.wav", root + "sub2/e.mid"}));
    EXPECT_EQ(m.FileName(), root + "a.wav");
    EXPECT_EQ(m.State(), TMediaFile::stOpened);
    EXPECT_FALSE(m.ErrorFlag());
}

TEST_F(MediaListTest, ScanOptionsAndMask) {
    MakeTree();
    TMediaFile& m = Make();
    m.AutoOpen = false;
    m.ScanMask = root + "*.*";
    m.ScanOptions = TScanOptions();
    m.Scan();
    EXPECT_EQ(m.Files, QStringList({root + "a.wav", root + "B.WAV", root + "notes.txt"}));

    // Unplayable entries are listed; opening passes over them.
    m.ScanOptions = Recursive;
    m.Scan();
    EXPECT_EQ(m.Files.size(), 6);
    m.Files.move(m.Files.indexOf(root + "notes.txt"), 0);
    m.Open();
    EXPECT_EQ(opened, QStringList{root + "a.wav"});

    m.ScanMask = root + "*.WAV";
    m.ScanOptions = TScanOptions(Recursive) | MediaFiles;
    m.Scan();
    EXPECT_EQ(m.Files, QStringList({root + "a.wav", root + "B.WAV", root + "sub1/c.wav",
                                    root + "sub1/deep/d.wav"}));
}

TEST_F(MediaListTest, AScanThatFindsNothingKeepsTheCurrentFile) {
    Touch("notes.txt");
    TMediaFile& m = Make();
    m.SetFileName("x.wav");
    Commands();
    m.ScanMask = root + "*.*";
    m.Scan();
    EXPECT_TRUE(m.Files.isEmpty());
    EXPECT_EQ(m.FileName(), "x.wav");
    EXPECT_TRUE(Commands().isEmpty());
}

TEST_F(MediaListTest, TooManyFilesStopsTheSearchAndKeepsWhatWasFound) {
    MakeTree();
    TMediaFile::MaxFiles = 3;
    TMediaFile& m = Make();
    m.AutoPlay = false;
    m.ScanMask = root + "*.*";
    m.Scan();
    EXPECT_EQ(m.Files, QStringList({root + "a.wav", root + "B.WAV", root + "sub1/c.wav"}));
    EXPECT_EQ(m.LastError(), "Too many files were found");
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(m.State(), TMediaFile::stOpened) << "what was found is used";
    EXPECT_FALSE(m.ErrorFlag()) << "cleared again by the open";

    m.Files.clear();
    TMediaFile::MaxFiles = 1;
    EXPECT_FALSE(m.ScanDirectory(root, "*.*"));
    EXPECT_EQ(m.Files, QStringList{root + "a.wav"});
    EXPECT_TRUE(m.ErrorFlag());
}

TEST_F(MediaListTest, LinkedFoldersDoNotMakeTheScanEndless) {
    Touch("a.wav");
    Touch("sub/b.wav");
    ASSERT_TRUE(QFile::link(root, root + "sub/loop"));
    TMediaFile& m = Make();
    m.AutoOpen = false;
    m.ScanMask = root + "*.*";
    m.Scan();
    EXPECT_EQ(m.Files, QStringList({root + "a.wav", root + "sub/b.wav"}));
}

TEST_F(MediaListTest, AFolderReachedFirstThroughASiblingLinkIsStillListedUnderItsOwnName) {
    Touch("real/b.wav");
    // "a" sorts before "real" and leads into it.
    ASSERT_TRUE(QFile::link(root + "real", root + "a"));
    ASSERT_TRUE(QFile::link(root + "real", root + "real/again"));
    TMediaFile& m = Make();
    m.AutoOpen = false;
    m.ScanMask = root + "*.*";
    m.Scan();
    EXPECT_EQ(m.Files, QStringList({root + "a/b.wav", root + "real/b.wav"}));
}

TEST_F(MediaListTest, AMaskWithAnyExtensionAlsoTakesNamesWithoutADot) {
    Touch("readme");
    Touch("r.wav");
    Touch("rock.mid.bak");
    Touch("notes");
    Touch("sub/rain");
    TMediaFile& m = Make();
    m.AutoOpen = false;
    m.ScanOptions = Recursive;
    m.ScanMask = root + "r*.*";
    m.Scan();
    EXPECT_EQ(m.Files, QStringList({root + "r.wav", root + "readme", root + "rock.mid.bak",
                                    root + "sub/rain"}));
    m.ScanMask = root + "readme.*";
    m.Scan();
    EXPECT_EQ(m.Files, QStringList({root + "readme"}));
    // A mask with a real extension still asks for it.
    m.ScanMask = root + "r*.wav";
    m.Scan();
    EXPECT_EQ(m.Files, QStringList({root + "r.wav"}));
}

TEST_F(MediaListTest, LoadTakesTheChosenFiles) {
    TMediaFile& m = Make();
    answer = QStringList{"/m/one.wav", "/m/two.wav"};
    m.Load();
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_FALSE(dialogs[0].Save);
    EXPECT_TRUE(dialogs[0].MultiSelect);
    EXPECT_EQ(dialogs[0].Title, "Open Media file ...");
    EXPECT_EQ(dialogs[0].Filter, "Media files|*.wav;*.mid;*.rmi;*.avi;|All files (*.*)|*.*");
    EXPECT_EQ(m.Files, answer);
    EXPECT_EQ(m.FileName(), "/m/one.wav");
    EXPECT_EQ(m.State(), TMediaFile::stPlaying);

    confirm = false;
    answer = QStringList{"/m/three.wav"};
    m.Load();
    EXPECT_EQ(m.Files.size(), 2);

    confirm = true;
    m.Multi = false;
    m.AutoOpen = false;
    m.Load();
    EXPECT_FALSE(dialogs.back().MultiSelect);
    EXPECT_EQ(m.Files, answer);
    EXPECT_EQ(m.FileName(), "/m/three.wav");
}

TEST_F(MediaListTest, SaveCopiesTheCurrentFile) {
    TMediaFile& m = Make();
    m.Save();
    EXPECT_TRUE(dialogs.empty()) << "no current file, no dialog";

    Touch("Song.wav", QByteArray(200000, 'q'));
    m.SetFileName(root + "Song.wav");
    answer = QStringList{root + "copy.wav"};
    m.Save();
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_TRUE(dialogs[0].Save);
    EXPECT_EQ(dialogs[0].Title, "Save Song.wav as ...");
    EXPECT_EQ(dialogs[0].Filter, "File type (*.wav)|*.wav|All files (*.*)|*.*");
    EXPECT_EQ(dialogs[0].FileName, "Song.wav");
    EXPECT_EQ(Read(root + "copy.wav"), QByteArray(200000, 'q'));
    EXPECT_FALSE(m.ErrorFlag());
}

TEST_F(MediaListTest, AFailedCopyLeavesNoTargetAndTellsTheSource) {
    TMediaFile& m = Make();
    EXPECT_FALSE(m.CopyMediaFile(root + "missing.wav", root + "out.wav"));
    EXPECT_EQ(m.LastError(), root + "missing.wav could not be copied");
    EXPECT_TRUE(m.ErrorFlag());
    EXPECT_EQ(errors, 1);
    EXPECT_FALSE(QFile::exists(root + "out.wav"));

    // An existing target stays as it was.
    Touch("out.wav", "old");
    EXPECT_FALSE(m.CopyMediaFile(root + "missing.wav", root + "out.wav"));
    EXPECT_EQ(Read(root + "out.wav"), "old");

    // A source that cannot be read: nothing is left behind, not even a temporary file.
    QDir().mkpath(root + "folder.wav");
    EXPECT_FALSE(m.CopyMediaFile(root + "folder.wav", root + "copy.wav"));
    EXPECT_FALSE(QFile::exists(root + "copy.wav"));
    EXPECT_FALSE(m.CopyMediaFile(root + "out.wav", root + "no/such/folder/x.wav"));
    EXPECT_EQ(QDir(root).entryList(QDir::Files), QStringList{"out.wav"});

    // A good copy clears the flag; a copy onto itself keeps the content.
    EXPECT_TRUE(m.CopyMediaFile(root + "out.wav", root + "out.wav"));
    EXPECT_FALSE(m.ErrorFlag());
    EXPECT_EQ(Read(root + "out.wav"), "old");

    // Stored paths may be written with backslashes.
    const QString windowsRoot = QString(root).replace('/', '\\');
    EXPECT_TRUE(m.CopyMediaFile(windowsRoot + "out.wav", windowsRoot + "new.wav"));
    EXPECT_EQ(Read(root + "new.wav"), "old");
}

TEST_F(MediaListTest, ACopyOntoAFullDiskFailsAndLeavesTheOldTarget) {
    TMediaFile& m = Make();
    // A whole block and a short rest, which is still buffered when the last block is written.
    const QByteArray content(65536 + 1000, 's');
    Touch("song.wav", content);
    Touch("copy.wav", "old");
    bool copied = true;
    {
        FileSizeLimit disk(65536 + 500);
        copied = m.CopyMediaFile(root + "song.wav", root + "copy.wav");
    }
    EXPECT_FALSE(copied);
    EXPECT_TRUE(m.ErrorFlag());
    EXPECT_EQ(m.LastError(), root + "song.wav could not be copied");
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(Read(root + "copy.wav"), "old");
    EXPECT_EQ(QDir(root).entryList(QDir::Files | QDir::Hidden, QDir::Name),
              (QStringList{"copy.wav", "song.wav"}));

    EXPECT_TRUE(m.CopyMediaFile(root + "song.wav", root + "copy.wav"));
    EXPECT_EQ(Read(root + "copy.wav"), content);
}
