#include "platform/media/MediaDevice.h"
#include "common/EventLoop.h"
#include "common/MidiFiles.h"
#include "platform/media/QtMediaSystem.h"
#include "platform/media/SimulatedMediaSystem.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A window that keeps the notifications it gets.
class Recorder : public QObject {
public:
    std::vector<std::pair<int, int>> got; // code, device

protected:
    bool event(QEvent* event) override {
        if (event->type() != TMciNotifyEvent::EventType())
            return QObject::event(event);
        const auto* notify = static_cast<TMciNotifyEvent*>(event);
        got.emplace_back(notify->Code, notify->DeviceId);
        return true;
    }
};

void deliver() {
    QCoreApplication::sendPostedEvents(nullptr, TMciNotifyEvent::EventType());
}

// A mono 16-bit PCM file of the given length at 8000 samples a second.
void writeWav(const QString& path, int milliseconds) {
    const quint32 samples = 8000u * static_cast<quint32>(milliseconds) / 1000u;
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    QDataStream out(&file);
    out.setByteOrder(QDataStream::LittleEndian);
    out.writeRawData("RIFF", 4);
    out << quint32(36 + samples * 2);
    out.writeRawData("WAVEfmt ", 8);
    out << quint32(16) << quint16(1) << quint16(1) << quint32(8000) << quint32(16000) << quint16(2)
        << quint16(16);
    out.writeRawData("data", 4);
    out << quint32(samples * 2);
    for (quint32 i = 0; i < samples; ++i)
        out << qint16((i % 40) < 20 ? 2000 : -2000);
}

} // namespace

TEST(MediaDevice, NotificationsReachTheWindowThroughTheEventLoop) {
    TSimulatedMediaSystem system;
    system.SetLength("a.wav", 500);
    auto device = system.Open("a.wav", nullptr);
    ASSERT_TRUE(device);
    auto* sim = system.Current();
    Recorder window;

    device->Play(&window, false);
    EXPECT_TRUE(window.got.empty()) << "never from inside the call";
    device->Play(&window, false);
    deliver();
    ASSERT_EQ(window.got.size(), 1u);
    EXPECT_EQ(window.got[0], std::make_pair(int(MCI_NOTIFY_SUPERSEDED), device->Id()));

    device->Stop();
    sim->Advance(1000); // a stopped device does not move
    deliver();
    ASSERT_EQ(window.got.size(), 2u);
    EXPECT_EQ(window.got[1].first, MCI_NOTIFY_ABORTED);
    EXPECT_EQ(device->Position(), 0);

    device->Play(&window, false);
    sim->Advance(200);
    EXPECT_EQ(device->Position(), 200);
    sim->Advance(400);
    deliver();
    ASSERT_EQ(window.got.size(), 3u);
    EXPECT_EQ(window.got[2].first, MCI_NOTIFY_SUCCESSFUL);
    EXPECT_EQ(device->Position(), 500);

    // Playing from the end ends at once; closing with a play outstanding aborts it.
    device->Play(&window, false);
    device->SeekToStart();
    device->Play(&window, false);
    device.reset();
    deliver();
    ASSERT_EQ(window.got.size(), 5u);
    EXPECT_EQ(window.got[3].first, MCI_NOTIFY_SUCCESSFUL);
    EXPECT_EQ(window.got[4].first, MCI_NOTIFY_ABORTED);
    EXPECT_TRUE(system.OpenDevices().empty());
}

TEST(MediaDevice, AWindowThatIsGoneGetsNothing) {
    TSimulatedMediaSystem system;
    auto device = system.Open("a.wav", nullptr);
    auto window = std::make_unique<Recorder>();
    device->Play(window.get(), false);
    window.reset();
    system.FinishAll();
    deliver();
    SUCCEED();
}

TEST(MediaDevice, SimulatedDriverFailsByNameAndLogsCommands) {
    TSimulatedMediaSystem system;
    system.FailOpen("bad.wav");
    QString error;
    EXPECT_FALSE(system.Open("bad.wav", &error));
    EXPECT_FALSE(error.isEmpty());
    auto a = system.Open("a.wav", nullptr);
    auto b = system.Open("b.wav", nullptr);
    EXPECT_NE(a->Id(), b->Id());
    EXPECT_GT(a->Id(), 0);
    EXPECT_EQ(system.Current(), b.get());
    b->SeekTo(300);
    b->SetPort(-1);
    b->SetTempo(120);
    b.reset();
    EXPECT_EQ(system.Current(), a.get());
    EXPECT_EQ(system.Log, QStringList({"fail bad.wav", "open a.wav", "open b.wav", "seek 300",
                                       "port -1", "tempo 120", "close b.wav"}));

    // A waiting play returns when the hook ends it, or at once after the hook.
    Recorder window;
    int calls = 0;
    system.OnWait = [&](TSimulatedMediaDevice& device) {
        ++calls;
        device.Advance(100);
    };
    a->Play(&window, true);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(a->Position(), a->Length());
    deliver();
    ASSERT_EQ(window.got.size(), 1u);
    EXPECT_EQ(window.got[0].first, MCI_NOTIFY_SUCCESSFUL);

    // Devices may outlive their driver.
    auto survivor = system.Open("c.wav", nullptr);
    {
        TSimulatedMediaSystem other;
        survivor = other.Open("d.wav", nullptr);
    }
    survivor->Play(&window, false);
    survivor.reset();
}

TEST(MediaDevice, DriverInForceCanBeReplaced) {
    auto sim = std::make_shared<TSimulatedMediaSystem>();
    auto previous = SetMediaSystem(sim);
    EXPECT_EQ(&MediaSystem(), sim.get());
    EXPECT_EQ(SetMediaSystem(nullptr), sim);
    EXPECT_NE(dynamic_cast<TQtMediaSystem*>(&MediaSystem()), nullptr);
    SetMediaSystem(previous);
}

// A sequence made here plays on the synthesiser through whatever sound output the machine
// has, a silent one where it has none.
TEST(QtMediaSystem, MidiSequencesPlaySoughtPausedAndFaster) {
    if (!TQtMediaSystem::Available())
        GTEST_SKIP() << "no Qt multimedia backend";
    QTemporaryDir dir;
    // The plain file's play ends through the event loop, the wrapped file's waits for its end.
    for (const bool wait : {false, true}) {
        const QString path = dir.filePath(wait ? "tune.rmi" : "tune.mid");
        SCOPED_TRACE(path.toStdString());
        WriteFileBytes(path, MidiFileBytes(wait));
        TQtMediaSystem system;
        QString error;
        auto device = system.Open(path, &error);
        ASSERT_TRUE(device) << error.toStdString();
        EXPECT_EQ(device->Length(), 4000);
        EXPECT_EQ(device->Tempo(), 150);

        device->SeekTo(1000);
        EXPECT_NEAR(device->Position(), 1000, 50);
        Recorder window;
        device->Play(&window, false);
        ASSERT_TRUE(ProcessEventsUntil([&] { return device->Position() > 1100; }));
        device->Stop();
        const int paused = device->Position();
        QTest::qWait(300);
        EXPECT_EQ(device->Position(), paused);
        deliver();
        ASSERT_EQ(window.got.size(), 1u);
        EXPECT_EQ(window.got[0].first, MCI_NOTIFY_ABORTED);

        // Four times the tempo: the rest plays in a quarter of its time, at the file's positions.
        device->SetTempo(600);
        QElapsedTimer timer;
        timer.start();
        device->Play(&window, wait);
        ASSERT_TRUE(ProcessEventsUntil([&] { return wait || window.got.size() == 2; }, 20000));
        EXPECT_LT(timer.elapsed(), 4000 - paused);
        deliver();
        ASSERT_EQ(window.got.size(), 2u);
        EXPECT_EQ(window.got[1], std::make_pair(int(MCI_NOTIFY_SUCCESSFUL), device->Id()));
        EXPECT_EQ(device->Position(), 4000);
    }
}

TEST(QtMediaSystem, OpensAWaveFileAndReadsItsLength) {
    if (!TQtMediaSystem::Available())
        GTEST_SKIP() << "no Qt multimedia backend";
    QTemporaryDir dir;
    const QString path = dir.filePath("tone.wav");
    writeWav(path, 500);
    TQtMediaSystem system;
    QString error;
    auto device = system.Open(path, &error);
    ASSERT_TRUE(device) << error.toStdString();
    EXPECT_NEAR(device->Length(), 500, 30);
    EXPECT_EQ(device->Position(), 0);

    // A waiting play comes back within its bound, sound device or not, and a notification
    // follows.
    Recorder window;
    QElapsedTimer timer;
    timer.start();
    device->Play(&window, true);
    EXPECT_LT(timer.elapsed(), 500 + TQtMediaSystem::WaitSlackMs + 1000);
    QCoreApplication::processEvents();
    deliver();
    EXPECT_EQ(window.got.size(), 1u);
}

TEST(QtMediaSystem, FilesItCannotPlayFailToOpen) {
    QTemporaryDir dir;
    TQtMediaSystem system;
    QString error;
    EXPECT_FALSE(system.Open(dir.filePath("missing.wav"), &error));
    EXPECT_FALSE(error.isEmpty());

    const QString midi = dir.filePath("song.mid");
    WriteFileBytes(midi, MidiFileBytes(false).chopped(8)); // its track cut short
    error.clear();
    EXPECT_FALSE(system.Open(midi, &error));
    EXPECT_FALSE(error.isEmpty());

    if (!TQtMediaSystem::Available())
        return;
    const QString garbage = dir.filePath("noise.wav");
    QFile file(garbage);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, '\x5a'));
    file.close();
    QElapsedTimer timer;
    timer.start();
    error.clear();
    EXPECT_FALSE(system.Open(garbage, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_LT(timer.elapsed(), TQtMediaSystem::OpenTimeoutMs + 1000);
}

TEST(QtMediaSystem, LoadsItsBackendAtTheFirstOpenFromTheFirstPlaceThatHasIt) {
    QTemporaryDir dir;
    // Not a library at all, though named like one: passed over for the next place.
    const QString notALibrary = dir.filePath("broken/qor-media.so");
    QDir(dir.path()).mkpath("broken");
    QFile garbage(notALibrary);
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write("not a library");
    garbage.close();
    TQtMediaSystem system({dir.filePath("missing/qor-media.so"), notALibrary,
                           QStringLiteral(ORV_BINARY_DIR "/qor-media.so")});

    // Listing what it plays, or failing on names it would never play, loads nothing.
    for (const char* extension : {"wav", "mp3", "mid", "rmi"})
        EXPECT_TRUE(system.MediaExtensions().contains(extension)) << extension;
    system.MidiOutDevices();
    QString error;
    EXPECT_FALSE(system.Open(dir.filePath("missing.wav"), &error));
    EXPECT_FALSE(system.BackendLoaded());

    const QString path = dir.filePath("tone.wav");
    writeWav(path, 300);
    auto device = system.Open(path, &error);
    EXPECT_TRUE(system.BackendLoaded());
    if (TQtMediaSystem::Available()) {
        ASSERT_TRUE(device) << error.toStdString();
        EXPECT_NEAR(device->Length(), 300, 30);
    }
}

TEST(QtMediaSystem, WithoutItsBackendEveryOpenFailsAndSaysWhy) {
    QTemporaryDir dir;
    const QString path = dir.filePath("tone.wav");
    writeWav(path, 300);
    TQtMediaSystem nowhere({dir.filePath("qor-media.so")});
    QString error;
    EXPECT_FALSE(nowhere.Open(path, &error));
    EXPECT_TRUE(error.contains("qor-media.so")) << error.toStdString();
    EXPECT_FALSE(nowhere.BackendLoaded());
    // Asked again, it says the same rather than searching anew.
    error.clear();
    EXPECT_FALSE(nowhere.Open(path, &error));
    EXPECT_TRUE(error.contains("qor-media.so")) << error.toStdString();
    EXPECT_TRUE(nowhere.MediaExtensions().contains("wav"));

    // A library that is not a media backend.
    QFile garbage(dir.filePath("other.so"));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray(512, '\x7f'));
    garbage.close();
    TQtMediaSystem broken({dir.filePath("other.so")});
    error.clear();
    EXPECT_FALSE(broken.Open(path, &error));
    EXPECT_FALSE(error.isEmpty());
}
