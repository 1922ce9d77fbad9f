#include "ui/tray/PopupWindow.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

TEST(PopupWindow, PlacementStaysAttachedAndOnScreen) {
    // Available areas below a 24 px panel at the top, above one at the bottom, and a small one.
    const QRect top(0, 24, 1280, 776), bottom(0, 0, 1366, 744), small(0, 24, 1280, 696);
    const QRect icon(1001, 1, 22, 22), low(1200, 746, 22, 22);
    const QSize size(340, 400), tall(340, 751);
    struct Case {
        const char* name;
        QSize size;
        QRect anchor;
        QPoint pointer;
        QRect available;
        QRect expected;
    } cases[] = {
        // Right edge under the icon's right edge, just below it.
        {"tray top right", size, icon, {}, top, {1023 - 340, 27, 340, 400}},
        // An icon near the left edge cannot pull the window off screen.
        {"tray top left", size, QRect(2, 1, 22, 22), {}, top, {4, 27, 340, 400}},
        // A bottom panel: the window opens above the icon.
        {"tray bottom", size, low, {}, bottom, {882, 342, 340, 400}},
        // No icon rectangle: next to the pointer, pushed back inside the screen.
        {"pointer", size, QRect(), QPoint(100, 100), top, {104, 104, 340, 400}},
        {"pointer corner", size, QRect(), QPoint(1270, 790), top, {936, 396, 340, 400}},
        // A page taller than the room is cut to it (and scrolls), never over the panel or icon.
        {"tall, top", tall, icon, {}, small, {683, 27, 340, 689}},
        {"tall, bottom", tall, low, {}, bottom, {882, 4, 340, 738}},
        {"tall, pointer", tall, QRect(), QPoint(10, 10), small, {14, 28, 340, 688}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PopupWindow::place(c.size, c.anchor, c.pointer, c.available), c.expected)
            << c.name;
}

TEST(PopupWindow, FollowsTheContentAndClosesOnEscapeAndTheHotkey) {
    PopupWindow window;
    auto* content = new QLabel(QStringLiteral("page"));
    content->setFixedSize(340, 200);
    window.setContent(content);
    QSignalSpy opened(&window, &PopupWindow::opened), closed(&window, &PopupWindow::closed);

    window.popup(QRect());
    EXPECT_EQ(opened.size(), 1);

    // A page taller than the screen scrolls inside the window.
    EXPECT_FALSE(window.scrolls());
    const QRect available = window.screen()->availableGeometry();
    content->setFixedSize(340, available.height() + 100);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.scrolls(); }));
    EXPECT_TRUE(available.contains(window.geometry()));
    EXPECT_EQ(content->height(), available.height() + 100);

    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(closed.size(), 1);
    // Only a close by a click elsewhere (Qt closes the popup itself) swallows the next tray click.
    EXPECT_FALSE(window.justClosed());
    window.popup(QRect());
    window.close();
    EXPECT_TRUE(window.justClosed());
    // While the popup holds the keyboard, the global hotkey arrives as an ordinary key press.
    window.setToggleShortcut(QKeySequence(QStringLiteral("Ctrl+Alt+T")));
    window.popup(QRect());
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(&window, Qt::Key_T, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_FALSE(window.isVisible());
}

TEST(PopupWindow, EscapeInAnOpenListClosesOnlyTheList) {
    PopupWindow window;
    auto* combo = new QComboBox;
    combo->addItems({QStringLiteral("System default"), QStringLiteral("Ava")});
    combo->setFixedWidth(340);
    window.setContent(combo);
    window.popup(QRect());
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    combo->showPopup();
    ASSERT_TRUE(QTest::qWaitFor([&] { return combo->view()->isVisible(); }));
    // Through the window, as the key arrives from the desktop.
    QTest::keyClick(window.windowHandle(), Qt::Key_Escape);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !combo->view()->isVisible(); }));
    EXPECT_TRUE(window.isVisible());
    QTest::keyClick(window.windowHandle(), Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
}
