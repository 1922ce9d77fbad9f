#pragma once

#include <QObject>
#include <functional>

// State shared by the tray controller and the popup's pages: which page shows, when the text
// field should take the focus, and how a page closes the popup.
class PopoverUI : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    int focusToken() const { return m_focusToken; }
    void setFocusToken(int token) {
        m_focusToken = token;
        emit changed();
        emit focusTokenChanged(token);
    }
    void bumpFocus() { setFocusToken(m_focusToken + 1); }

    bool showSettings() const { return m_showSettings; }
    void setShowSettings(bool show) {
        m_showSettings = show;
        emit changed();
        emit showSettingsChanged(show);
    }

    void close() const {
        if (m_close)
            m_close();
    }
    void setClose(std::function<void()> close) { m_close = std::move(close); }

signals:
    void changed();
    void focusTokenChanged(int token);
    void showSettingsChanged(bool show);

private:
    int m_focusToken = 0;
    bool m_showSettings = false;
    std::function<void()> m_close;
};
