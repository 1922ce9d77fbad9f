#include "core/hotkey/Hotkey.h"

#include "core/hotkey/HotkeyService.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace {

constexpr QKeyCombination ctrlAltT(Qt::ControlModifier | Qt::AltModifier, Qt::Key_T);

class RecordingHotkeyService final : public HotkeyService {
public:
    void registerHotkey(QKeyCombination) override {}
    void unregisterHotkey() override { ++unregistered; }
    void press() { emit activated(); }

    int unregistered = 0;
};

// The second run destroys its own hotkey while another press is still queued.
TEST(Hotkey, RunsTheActionOnceAfterTheHandlerReturnedAndNotAfterRelease) {
    RecordingHotkeyService service;
    int runs = 0;
    std::unique_ptr<Hotkey> hotkey;
    hotkey = std::make_unique<Hotkey>(service, ctrlAltT, [&] {
        if (++runs == 2)
            hotkey.reset();
    });

    service.press();
    EXPECT_EQ(runs, 0) << "the platform's handler has not returned yet";
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(runs, 1);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(runs, 1);

    service.press();
    service.press();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(runs, 2);
    EXPECT_EQ(service.unregistered, 1);
    service.press();
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(runs, 2);
}

} // namespace
