#include "PopupWindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

TEST(PopupWindow, PlacementStaysAttachedAndOnScreen) {
    const QRect screen(0, 0, 1280, 800);
    const QSize size(340, 400);
    struct Case {
        const char* name;
        QRect anchor;
        QPoint pointer;
        QPoint expected;
    } cases[] = {
        // Right edge under the icon's right edge, just below it.
        {"tray top right", QRect(1001, 1, 22, 22), {}, QPoint(1023 - 340, 27)},
        // An icon near the left edge cannot pull the window off screen.
        {"tray top left", QRect(2, 1, 22, 22), {}, QPoint(4, 27)},
        // A bottom panel: the window opens above the icon.
        {"tray bottom", QRect(1200, 776, 22, 22), {}, QPoint(1222 - 340, 776 - 4 - 400)},
        // No icon rectangle: next to the pointer, pushed back inside the screen.
        {"pointer", QRect(), QPoint(100, 100), QPoint(104, 104)},
        {"pointer corner", QRect(), QPoint(1270, 790), QPoint(1280 - 4 - 340, 800 - 4 - 400)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PopupWindow::place(size, c.anchor, c.pointer, screen), c.expected) << c.name;
}

TEST(PopupWindow, FollowsTheContentAndClosesOnEscape) {
    PopupWindow window;
    auto* content = new QLabel(QStringLiteral("page"));
    content->setFixedSize(340, 200);
    window.setContent(content);
    int opened = 0, closed = 0;
    QObject::connect(&window, &PopupWindow::opened, [&] { ++opened; });
    QObject::connect(&window, &PopupWindow::closed, [&] { ++closed; });

    window.popup(QRect());
    EXPECT_EQ(opened, 1);

    // A taller page grows the window.
    content->setFixedSize(340, 300);
    QTest::qWait(20);
    EXPECT_EQ(window.size(), QSize(340, 300));

    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(closed, 1);
    // Only a close by a click elsewhere (Qt closes the popup itself) swallows the next tray click.
    EXPECT_FALSE(window.justClosed());
    window.popup(QRect());
    window.close();
    EXPECT_TRUE(window.justClosed());
}

TEST(PopupWindow, HotkeyPressedInsideClosesIt) {
    // While the popup holds the keyboard, the global hotkey arrives as an ordinary key press in
    // its text field.
    PopupWindow window;
    auto* field = new QLineEdit;
    field->setFixedWidth(340);
    window.setContent(field);
    window.setToggleShortcut(QKeySequence(QStringLiteral("Ctrl+Alt+T")));
    window.popup(QRect());
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    field->setFocus();
    QTest::keyClick(field, Qt::Key_T, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(field->text().isEmpty());
}
