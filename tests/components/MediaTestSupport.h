#pragma once

#include "components/MediaFile.h"
#include "platform/media/MediaDevice.h"
#include "platform/media/SimulatedMediaSystem.h"

#include <QCoreApplication>
#include <gtest/gtest.h>
#include <memory>

// Runs each test against the simulated media driver, so that the component plays without
// sound hardware and the test decides when a play ends.
class MediaFixture : public ::testing::Test {
protected:
    void SetUp() override {
        sim = std::make_shared<TSimulatedMediaSystem>();
        sim->Midi = QStringList{"Synth A", "Synth B"};
        previous_ = SetMediaSystem(sim);
    }
    void TearDown() override {
        media.reset();
        SetMediaSystem(previous_);
    }

    TMediaFile& Make() {
        media = std::make_unique<TMediaFile>();
        media->OnError = [this](QObject*) { ++errors; };
        media->OnNotify = [this](QObject*) { ++notifies; };
        media->OnOpen = [this](QObject*) { opened << media->FileName(); };
        return *media;
    }

    // Lets the message loop hand the posted end-of-play notifications to the component.
    static void Deliver() {
        QCoreApplication::sendPostedEvents(nullptr, TMciNotifyEvent::EventType());
    }
    // The file that plays reaches its end, and the component hears of it.
    void EndPlay() {
        ASSERT_NE(sim->Current(), nullptr);
        sim->Current()->Finish();
        Deliver();
    }
    // The log since the last call.
    QStringList Commands() {
        QStringList log = sim->Log.mid(logMark_);
        logMark_ = static_cast<int>(sim->Log.size());
        return log;
    }

    std::shared_ptr<TSimulatedMediaSystem> sim;
    std::unique_ptr<TMediaFile> media;
    int errors = 0;
    int notifies = 0;
    QStringList opened;

private:
    std::shared_ptr<TMediaSystem> previous_;
    int logMark_ = 0;
};
