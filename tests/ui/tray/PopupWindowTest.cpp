#include "ui/tray/PopupWindow.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QScreen>
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
        {"pointer corner", size, QRect(), QPoint(1270, 790), top, {936, 396, 340, 400}},
        // A page taller than the room is cut to it (and scrolls), never over the panel or icon.
        {"tall, top", tall, icon, {}, small, {683, 27, 340, 689}},
        {"tall, bottom", tall, low, {}, bottom, {882, 4, 340, 738}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PopupWindow::place(c.size, c.anchor, c.pointer, c.available), c.expected)
            << c.name;
}

TEST(PopupWindow, ClosesOnEscapeButNotWhileAListIsOpenAndScrollsATallPage) {
    PopupWindow window;
    auto* content = new QComboBox;
    content->addItems({QStringLiteral("System default"), QStringLiteral("Ava")});
    content->setFixedSize(340, 200);
    window.setContent(content);
    window.popup(QRect());
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    // Escape in an open list closes only the list. Sent through the window, as the key arrives
    // from the desktop.
    content->showPopup();
    ASSERT_TRUE(QTest::qWaitFor([&] { return content->view()->isVisible(); }));
    QTest::keyClick(window.windowHandle(), Qt::Key_Escape);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !content->view()->isVisible(); }));
    EXPECT_TRUE(window.isVisible());

    // A page taller than the screen scrolls inside the window.
    const QRect available = window.screen()->availableGeometry();
    content->setFixedSize(340, available.height() + 100);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.scrolls(); }));
    EXPECT_TRUE(available.contains(window.geometry()));
    EXPECT_EQ(content->height(), available.height() + 100);

    QTest::keyClick(window.windowHandle(), Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
    // Only a close by a click elsewhere (Qt closes the popup itself) swallows the next tray click.
    EXPECT_FALSE(window.justClosed());
    window.popup(QRect());
    window.close();
    EXPECT_TRUE(window.justClosed());
}
