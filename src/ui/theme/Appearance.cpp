#include "ui/theme/Appearance.h"

#include "ui/theme/Theme.h"

#include <QApplication>

namespace Appearance {
namespace {

struct Colours {
    QColor window, text, base, alternate, button, mid, highlight, highlighted, disabled;
};

QPalette make(const Colours& c) {
    QPalette p;
    for (auto group : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(group, QPalette::Window, c.window);
        p.setColor(group, QPalette::WindowText, c.text);
        p.setColor(group, QPalette::Base, c.base);
        p.setColor(group, QPalette::AlternateBase, c.alternate);
        p.setColor(group, QPalette::Button, c.button);
        p.setColor(group, QPalette::ButtonText, c.text);
        p.setColor(group, QPalette::Text, c.text);
        p.setColor(group, QPalette::BrightText, Qt::white);
        p.setColor(group, QPalette::ToolTipBase, c.base);
        p.setColor(group, QPalette::ToolTipText, c.text);
        p.setColor(group, QPalette::PlaceholderText, c.disabled);
        p.setColor(group, QPalette::Highlight, c.highlight);
        p.setColor(group, QPalette::HighlightedText, c.highlighted);
        p.setColor(group, QPalette::Light, c.button.lighter(130));
        p.setColor(group, QPalette::Midlight, c.button.lighter(115));
        p.setColor(group, QPalette::Mid, c.mid);
        p.setColor(group, QPalette::Dark, c.mid.darker(130));
        p.setColor(group, QPalette::Shadow, Qt::black);
    }
    p.setColor(QPalette::Disabled, QPalette::Window, c.window);
    p.setColor(QPalette::Disabled, QPalette::Base, c.window);
    p.setColor(QPalette::Disabled, QPalette::Button, c.button);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, c.disabled);
    return p;
}

} // namespace

QPalette light() {
    return make({QColor(246, 245, 244), QColor(28, 28, 30), Qt::white, QColor(238, 237, 236),
                 QColor(232, 231, 230), QColor(190, 189, 188), QColor(255, 107, 44), Qt::white,
                 QColor(150, 150, 152)});
}

QPalette dark() {
    return make({QColor(40, 40, 43), QColor(236, 236, 238), QColor(30, 30, 32), QColor(50, 50, 54),
                 QColor(58, 58, 62), QColor(80, 80, 86), QColor(255, 107, 44), Qt::white,
                 QColor(120, 120, 126)});
}

QPalette palette(bool dark) {
    return dark ? Appearance::dark() : light();
}

QPalette forScheme(ColorSchemeService::Scheme scheme, const QPalette& desktop) {
    using Scheme = ColorSchemeService::Scheme;
    if (scheme == Scheme::NoPreference || (scheme == Scheme::Dark) == Theme::isDark(desktop))
        return desktop;
    return palette(scheme == Scheme::Dark);
}

void follow(ColorSchemeService& schemes) {
    const QPalette desktop = QApplication::palette();
    // Set only when it changes: a palette set on the application stops it following the
    // platform theme's own changes.
    auto apply = [desktop](ColorSchemeService::Scheme scheme) {
        const QPalette wanted = forScheme(scheme, desktop);
        if (wanted != QApplication::palette())
            QApplication::setPalette(wanted);
    };
    apply(schemes.scheme());
    QObject::connect(&schemes, &ColorSchemeService::schemeChanged, qApp, apply);
}

} // namespace Appearance
