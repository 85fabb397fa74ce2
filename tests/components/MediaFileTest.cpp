#include "MediaTestSupport.h"
#include "platform/media/QtMediaSystem.h"

#include <QFile>
#include <QObject>
#include <QTemporaryDir>
#include <limits>

namespace {

using MediaFileTest = MediaFixture;

// A control whose name carries the command, as the media buttons do.
struct Button {
    QObject object;
    explicit Button(const QString& name) { object.setObjectName(name); }
};

} // namespace

TEST_F(MediaFileTest, StartsClosedWithTheDriversDevicesAndExtensions) {
    sim->Extensions = QStringList{"WAV", "dat", "Mid", "avi"};
    TMediaFile& m = Make();
    EXPECT_EQ(m.State(), TMediaFile::stClosed);
    EXPECT_EQ(m.MidiDevices(), QStringList({"Synth A", "Synth B", "MIDI-Mapper"}));
    EXPECT_EQ(m.MediaExtensions(), "*.wav;*.mid;*.avi;");
    EXPECT_EQ(m.MidiPort(), 0);
    EXPECT_EQ(m.Messages.size(), 7);
    EXPECT_EQ(m.Messages[4], "%s could not be opened");
    EXPECT_EQ(m.Messages[6], "Too many files were found");
    EXPECT_TRUE(m.ScanOptions.testFlag(Recursive) && m.ScanOptions.testFlag(MediaFiles));
}

TEST_F(MediaFileTest, ExtInListTakesTheFirstOccurrenceAsAWholeEntry) {
    EXPECT_EQ(TMediaFile::ExtInList(".wav", "*.wav;*.mid;"), 2);
    EXPECT_EQ(TMediaFile::ExtInList(".mid", "*.wav;*.mid"), 8);
    EXPECT_EQ(TMediaFile::ExtInList(".mp", "*.mp3;*.mp;"), 0);
    EXPECT_EQ(TMediaFile::ExtInList(".ogg", "*.wav;"), 0);
    EXPECT_EQ(TMediaFile::ExtInList("", "*.wav;"), 0);
}

TEST_F(MediaFileTest, SetFileNameOpensAndPlaysOnceAndOnlyForANewName) {
    TMediaFile& m = Make();
    m.SetFileName("a.wav");
    EXPECT_EQ(m.State(), TMediaFile::stPlaying);
    EXPECT_EQ(m.FileName(), "a.wav");
    EXPECT_EQ(m.Files, QStringList{"a.wav"});
    EXPECT_EQ(Commands(), QStringList({"open a.wav", "time ms", "seek start", "play"}));
    m.SetFileName("a.wav");
    m.SetFileName("");
    EXPECT_TRUE(Commands().isEmpty());

    m.AutoOpen = false;
    m.SetFileName("b.wav");
    EXPECT_EQ(m.Files, QStringList{"b.wav"});
    EXPECT_TRUE(Commands().isEmpty());
    EXPECT_EQ(m.State(), TMediaFile::stPlaying);

    m.AutoOpen = true;
    m.AutoPlay = false;
    m.SetFileName("c.wav");
    EXPECT_EQ(Commands(), QStringList({"close a.wav", "open c.wav", "time ms"}));
    EXPECT_EQ(m.State(), TMediaFile::stOpened);
}

TEST_F(MediaFileTest, ThreeFilesWithTheSecondFailing) {
    sim->FailOpen("b.wav");
    TMediaFile& m = Make();
    m.Files = QStringList{"a.wav", "b.wav", "c.wav"};
    m.Open();
    EXPECT_EQ(m.FileName(), "a.wav");
    EndPlay();
    EXPECT_EQ(notifies, 1);
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(m.LastError(), "b.wav could not be opened");
    EXPECT_EQ(m.FileName(), "c.wav");
    EXPECT_EQ(m.State(), TMediaFile::stPlaying);
    EXPECT_FALSE(m.ErrorFlag()) << "cleared by the open that worked";
    EndPlay();
    EXPECT_EQ(m.State(), TMediaFile::stStopped);
    EXPECT_EQ(opened, QStringList({"a.wav", "c.wav"}));
    EXPECT_EQ(m.Files.size(), 3);

    // With repeat the list starts again.
    m.AutoRepeat = true;
    opened.clear();
    m.Open();
    EndPlay();
    EndPlay();
    EXPECT_EQ(opened, QStringList({"a.wav", "c.wav", "a.wav"}));
    EXPECT_EQ(m.State(), TMediaFile::stPlaying);
}

TEST_F(MediaFileTest, AFailureAtTheEndOfTheListLeavesItClosed) {
    sim->FailOpen("b.wav");
    TMediaFile& m = Make();
    m.AutoRepeat = true;
    m.Files = QStringList{"a.wav", "b.wav"};
    m.Open();
    EndPlay();
    EXPECT_EQ(m.State(), TMediaFile::stClosed);
    EXPECT_TRUE(m.ErrorFlag());
    EXPECT_EQ(errors, 1);
}

TEST_F(MediaFileTest, OneFileRepeatsOnlyWithAutoRepeat) {
    TMediaFile& m = Make();
    m.SetFileName("a.wav");
    Commands();
    EndPlay();
    EXPECT_EQ(m.State(), TMediaFile::stStopped);
    EXPECT_EQ(notifies, 1);
    EXPECT_TRUE(Commands().isEmpty());

    m.AutoRepeat = true;
    m.Play();
    Commands();
    EndPlay();
    EXPECT_EQ(m.State(), TMediaFile::stPlaying);
    EXPECT_EQ(Commands(), QStringList({"seek start", "play"}));
    EXPECT_EQ(notifies, 2);
}

TEST_F(MediaFileTest, StepsAreWholePercentsOfTheLength) {
    sim->SetLength("short.wav", 150);
    sim->SetLength("long.wav", 60000);
    TMediaFile& m = Make();
    m.SetFileName("short.wav");
    sim->Current()->SetPosition(50);
    Commands();
    m.StepForward();
    EXPECT_EQ(Commands(), QStringList({"seek 60", "play"}));
    sim->Current()->SetPosition(145);
    m.StepForward(); // 155 would pass the end: plays on where it is
    m.StepBack();
    EXPECT_EQ(Commands(), QStringList({"seek 145", "play", "seek 135", "play"}));
    sim->Current()->SetPosition(5);
    m.StepBack();
    EXPECT_EQ(Commands(), QStringList({"seek 5", "play"}));

    m.SetFileName("long.wav");
    sim->Current()->SetPosition(1000);
    Commands();
    m.StepForward();
    EXPECT_EQ(Commands(), QStringList({"seek 7000", "play"}));

    // Not playing: nothing at all.
    m.Stop();
    Commands();
    m.StepForward();
    m.StepBack();
    m.SkipToStart();
    m.SkipToFinish();
    EXPECT_TRUE(Commands().isEmpty());
}

TEST_F(MediaFileTest, StepsOverVeryLongFilesStayWithinTheFile) {
    const int longest = std::numeric_limits<int>::max();
    sim->SetLength("days.wav", longest);
    TMediaFile& m = Make();
    m.SetFileName("days.wav");
    // A step of 10 % from two thousand million ms would pass the end: it plays on.
    sim->Current()->SetPosition(2000000000);
    Commands();
    m.StepForward();
    m.StepBack();
    EXPECT_EQ(Commands(), QStringList({"seek 2000000000", "play", "seek 1785251640", "play"}));

    // 255 % of a hundredth of the length is more than the length itself.
    m.StepPercent = 255;
    m.Close();
    m.SetFileName("other.wav");
    m.SetFileName("days.wav");
    sim->Current()->SetPosition(longest - 5000);
    Commands();
    m.StepForward();
    m.StepBack();
    m.SkipToFinish();
    EXPECT_EQ(Commands(), QStringList({"seek " + QString::number(longest - 5000), "play",
                                       "seek " + QString::number(longest - 5000), "play",
                                       "seek " + QString::number(longest - 3000), "play"}));
}

TEST_F(MediaFileTest, SkipsWithinOneFile) {
    sim->SetLength("two.wav", 2000);
    sim->SetLength("ten.wav", 10000);
    TMediaFile& m = Make();
    m.SetFileName("two.wav");
    sim->Current()->SetPosition(800);
    Commands();
    m.SkipToFinish();
    m.SkipToStart();
    EXPECT_EQ(Commands(), QStringList({"seek 800", "play", "seek 0", "play"}));
    m.SetFileName("ten.wav");
    Commands();
    m.SkipToFinish();
    EXPECT_EQ(Commands(), QStringList({"seek 7000", "play"}));
}

TEST_F(MediaFileTest, SkipsMoveThroughAListAndWrap) {
    TMediaFile& m = Make();
    m.Files = QStringList{"a.wav", "b.wav", "c.wav"};
    m.Open();
    m.SkipToFinish();
    EXPECT_EQ(m.FileName(), "b.wav");
    m.SkipToFinish();
    m.SkipToFinish(); // from the last one to the first
    EXPECT_EQ(m.FileName(), "a.wav");
    m.SkipToStart(); // from the first one to the last
    EXPECT_EQ(m.FileName(), "c.wav");
    m.SkipToStart();
    EXPECT_EQ(m.FileName(), "b.wav");
}

TEST_F(MediaFileTest, StateTableOfPlayPauseStopAndRewind) {
    TMediaFile& m = Make();
    // Closed: Play has nothing to play but says it plays; Stop just says stopped.
    m.Play();
    EXPECT_EQ(m.State(), TMediaFile::stPlaying);
    m.Stop();
    EXPECT_EQ(m.State(), TMediaFile::stStopped);
    m.Rewind();
    EXPECT_TRUE(Commands().isEmpty());

    m.AutoPlay = false;
    m.SetFileName("a.wav");
    Commands();
    m.Stop(); // opened, not playing: no command
    EXPECT_EQ(m.State(), TMediaFile::stStopped);
    EXPECT_TRUE(Commands().isEmpty());
    m.Rewind();
    EXPECT_EQ(Commands(), QStringList({"seek start"}));
    EXPECT_EQ(m.State(), TMediaFile::stStopped);

    // Pause twice: paused, then resumed where it was.
    m.Play();
    sim->Current()->SetPosition(300);
    Commands();
    m.Pause();
    EXPECT_EQ(m.State(), TMediaFile::stPaused);
    m.Pause();
    EXPECT_EQ(m.State(), TMediaFile::stPlaying);
    EXPECT_EQ(Commands(), QStringList({"stop", "play"}));
    EXPECT_EQ(m.GetPosition(), 300);

    m.Rewind();
    EXPECT_EQ(Commands(), QStringList({"seek start", "play"}));

    // Without AutoRewind a stopped file plays on from where it stopped.
    sim->Current()->SetPosition(400);
    m.Stop();
    m.AutoRewind = false;
    Commands();
    m.Play();
    EXPECT_EQ(Commands(), QStringList({"play"}));
    EXPECT_EQ(m.GetPosition(), 400);
}

TEST_F(MediaFileTest, CommandsByControlName) {
    TMediaFile& m = Make();
    m.Files = QStringList{"a.wav", "b.wav", "c.wav"};
    m.Open();
    m.SkipToFinish();
    ASSERT_EQ(m.FileName(), "b.wav");
    Commands();

    // "play" comes before "start": Play, not a skip to the previous file.
    Button startPlay("BtnStartPlay");
    m.ExecuteCommand(&startPlay.object);
    EXPECT_EQ(m.FileName(), "b.wav");
    EXPECT_EQ(Commands(), QStringList({"seek start", "play"}));

    Button start("BtnStart"), finish("BtnFinish"), pause("BtnPause"), stop("BtnStop"),
        none("Panel4");
    m.ExecuteCommand(&start.object);
    EXPECT_EQ(m.FileName(), "a.wav");
    m.ExecuteCommand(&finish.object);
    EXPECT_EQ(m.FileName(), "b.wav");
    m.ExecuteCommand(&pause.object);
    EXPECT_EQ(m.State(), TMediaFile::stPaused);
    m.ExecuteCommand(&stop.object);
    EXPECT_EQ(m.State(), TMediaFile::stStopped);
    Commands();
    m.ExecuteCommand(&none.object);
    EXPECT_TRUE(Commands().isEmpty());
    Button close("CLOSEBUTTON");
    m.ExecuteCommand(&close.object);
    EXPECT_EQ(m.State(), TMediaFile::stClosed);

    EXPECT_THROW(m.ExecuteCommand(nullptr), Exception);
}

TEST_F(MediaFileTest, SearchesOverListsWithoutAPlayableEntryEnd) {
    TMediaFile& m = Make();
    m.Files = QStringList{"readme", "notes.txt", "c.xyz"};
    m.Open();
    EXPECT_EQ(m.State(), TMediaFile::stStopped);
    m.OpenNext(-1);
    EXPECT_EQ(m.State(), TMediaFile::stStopped);
    m.AutoRepeat = true;
    m.OpenNext(-1);
    m.OpenNext(0);
    EXPECT_TRUE(Commands().isEmpty());
    EXPECT_EQ(errors, 0) << "unplayable entries are passed over silently";

    // Backwards over entries that all fail: each is tried once, then it ends closed.
    sim->FailOpen("x.wav");
    sim->FailOpen("y.wav");
    m.Files = QStringList{"x.wav", "y.wav"};
    m.Open();
    EXPECT_EQ(errors, 2);
    m.OpenNext(-1);
    EXPECT_EQ(errors, 4);
    EXPECT_EQ(m.State(), TMediaFile::stClosed);
}

TEST_F(MediaFileTest, AListThatShrankBehindItsBackIsSafe) {
    TMediaFile& m = Make();
    m.AutoRepeat = true;
    m.Files = QStringList{"a.wav", "b.wav", "c.wav"};
    m.Open();
    m.Files = QStringList{"a.wav", "b.wav"};
    m.SkipToFinish();
    m.SkipToFinish();
    m.SkipToFinish();
    m.Files.clear();
    m.OpenNext(0);
    m.OpenNext(-1);
    SUCCEED();
}

TEST_F(MediaFileTest, DoubleBackslashBecomesABlankInTheOpenedName) {
    TMediaFile& m = Make();
    m.Files = QStringList{"C:\\media\\\\a.wav"};
    m.Open();
    EXPECT_EQ(m.FileName(), "C:\\media \\a.wav");
    EXPECT_EQ(m.Files[0], "C:\\media\\\\a.wav");
    EXPECT_EQ(Commands().value(0), "open C:\\media \\a.wav");
}

TEST_F(MediaFileTest, MidiPortAndTempo) {
    sim->SetTempo("song.mid", 0x178);
    TMediaFile& m = Make();
    m.SetMidiPort(1);
    EXPECT_EQ(m.MidiPort(), 1) << "a MIDI sequence is the kind at creation";
    m.SetMidiPort(2);
    EXPECT_EQ(m.MidiPort(), -1) << "the last index selects the mapper";
    m.SetMidiPort(-5);
    EXPECT_EQ(m.MidiPort(), -1);

    // The tempo read at open is set again and read back whole, as it plays.
    m.SetFileName("song.mid");
    EXPECT_EQ(m.GetTempo(), 0x178);
    EXPECT_EQ(Commands(), QStringList({"open song.mid", "time ms", "seek start", "port -1", "play",
                                       "tempo 376"}));
    m.SetMidiPort(0);
    EXPECT_EQ(Commands(), QStringList({"port 0", "play", "tempo 376"}));

    m.SetFileName("a.wav");
    EXPECT_EQ(m.GetTempo(), 0);
    m.SetMidiPort(0);
    EXPECT_EQ(m.MidiPort(), -1);
    EXPECT_FALSE(Commands().join(' ').contains("port"));
}

TEST_F(MediaFileTest, WaitingPlayEndsAndTheNotificationFollows) {
    TMediaFile& m = Make();
    m.Wait = true;
    m.AutoPlay = false;
    m.SetFileName("a.wav");
    int waited = 0;
    sim->OnWait = [&](TSimulatedMediaDevice& device) {
        ++waited;
        device.Advance(400);
        EXPECT_EQ(m.State(), TMediaFile::stPlaying);
    };
    Commands();
    m.Play();
    EXPECT_EQ(waited, 1);
    EXPECT_EQ(Commands(), QStringList({"seek start", "play wait"}));
    EXPECT_EQ(m.State(), TMediaFile::stPlaying) << "until the notification is handled";
    Deliver();
    EXPECT_EQ(m.State(), TMediaFile::stStopped);
    EXPECT_EQ(notifies, 1);

    // With AutoRepeat there is no waiting.
    m.AutoRepeat = true;
    m.Play();
    EXPECT_EQ(waited, 1);
    EXPECT_EQ(Commands(), QStringList({"seek start", "play"}));
}

TEST_F(MediaFileTest, NotificationsDuringAWaitingPlayAreHandledAfterIt) {
    TMediaFile& m = Make();
    m.Files = QStringList{"a.wav", "b.wav"};
    m.Open();
    sim->Current()->Finish(); // its notification is on its way
    m.Wait = true;
    sim->OnWait = [&](TSimulatedMediaDevice&) {
        QCoreApplication::sendPostedEvents(nullptr, TMciNotifyEvent::EventType());
        EXPECT_EQ(notifies, 0);
        EXPECT_EQ(m.FileName(), "a.wav");
    };
    m.Play();
    sim->OnWait = nullptr;
    Deliver();
    EXPECT_EQ(notifies, 1);
    EXPECT_EQ(m.FileName(), "b.wav");
}

TEST_F(MediaFileTest, NotificationsOfClosedOrAbortedPlaysAreIgnored) {
    TMediaFile& m = Make();
    m.SetFileName("a.wav");
    sim->Current()->Finish();
    m.Close();
    Deliver();
    EXPECT_EQ(notifies, 0);
    EXPECT_EQ(m.State(), TMediaFile::stClosed);

    // The end of a play whose device was replaced does not end the new one.
    m.Files = QStringList{"a.wav", "b.wav"};
    m.Open();
    sim->Current()->Finish();
    m.SkipToFinish();
    ASSERT_EQ(m.FileName(), "b.wav");
    Deliver();
    EXPECT_EQ(notifies, 0);
    EXPECT_EQ(m.State(), TMediaFile::stPlaying);

    // A stopped play's abort, and a superseded one's, change nothing.
    m.Stop();
    m.Play();
    m.StepForward();
    Deliver();
    EXPECT_EQ(notifies, 0);
    EXPECT_EQ(m.State(), TMediaFile::stPlaying);
}

TEST_F(MediaFileTest, ErrorsNeverRaiseEvenWithBrokenMessageTexts) {
    sim->FailOpen("a.wav");
    TMediaFile& m = Make();
    m.Messages[4] = "%d bad";
    m.SetFileName("a.wav");
    EXPECT_EQ(m.LastError(), "%d bad");
    m.Messages = QStringList{};
    m.Open();
    EXPECT_EQ(m.LastError(), "");
    EXPECT_TRUE(m.ErrorFlag());
}

TEST_F(MediaFileTest, WithoutTheMediaBackendAFileFailsAsAnyUnplayableOne) {
    QTemporaryDir dir;
    const QString path = dir.filePath("intro.wav");
    ASSERT_TRUE(QFile(path).open(QIODevice::WriteOnly));
    SetMediaSystem(std::make_shared<TQtMediaSystem>(QStringList{dir.filePath("qor-media.so")}));
    TMediaFile& m = Make();
    m.SetFileName(path);
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(m.LastError(), path + " could not be opened");
    EXPECT_TRUE(m.ErrorFlag());
    EXPECT_EQ(m.State(), TMediaFile::stClosed);
    EXPECT_TRUE(opened.isEmpty());
}
