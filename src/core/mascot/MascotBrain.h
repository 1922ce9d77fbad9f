#pragma once

#include <QList>
#include <QObject>
#include <QPointF>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

// The mascot's animation state: mood, flags, eye outlines and nine damped springs, advanced only
// by frame(t). Nothing runs between frames: idle life, flashes and hops are all entries of a timed
// queue that frame(t) drains. Canvas units: a 200 x 200 square, y downward; degrees turn from +x
// towards +y.
class MascotBrain : public QObject {
    Q_OBJECT
public:
    enum class Mood { Content, Neutral, Alert, Sleep, Done };
    using Outline = std::vector<QPointF>;

    struct Wave {
        double opacity = 0;
        double dy = 0;
        bool operator==(const Wave&) const = default;
    };
    struct Frame {
        std::vector<Outline> eyes;
        double strokeWidth = 0;
        QPointF eyeOffset;
        double y = 0;
        double rot = 0;
        double earRot = 0;
        double earSink = 0;
        double btnRot = 0;
        double btnSink = 0;
        std::vector<Wave> waves; // always two
        bool operator==(const Frame&) const = default;
    };

    // The ear's pivot, shared with the painter.
    static constexpr QPointF ear{155.15519990456642, 69.71929210256917};
    // Every stored outline has this many points.
    static constexpr int outlinePoints = 80;

    // random: uniform in [0, 1); defaults to a generator seeded from the system.
    MascotBrain(Mood mood, bool alive, std::function<double()> random = {},
                QObject* parent = nullptr);
    ~MascotBrain() override;

    Frame frame(double t); // t: wall time in seconds, any epoch

    // frame with every length rounded to a multiple of unit (canvas units) and every angle to
    // the turn that moves a point at the canvas's far edge by unit. Frames that are equal once
    // snapped to a small fraction of a pixel look the same, so only a change needs drawing.
    static Frame snapped(Frame frame, double unit);

    // True while something moves faster than the idle sway: a change of expression, talk, or a
    // spring still swinging after a kick. A calm brain may be drawn less often.
    bool busy() const;
    // Milliseconds of the brain's clock until the next timed step (a blink, a settle, the second
    // half of a hop); infinity when none waits.
    double nextStepIn() const;

    Mood mood() const { return m_mood; }
    void setMood(Mood mood);
    bool talking() const { return m_talking; }
    void setTalking(bool talking);
    bool muted() const { return m_muted; }
    void assignMuted(bool muted); // no flash
    void setMuted(bool muted);    // flashes "muted" / "sound"
    std::optional<QString> icon() const { return m_icon; }
    QString shape() const { return m_shape; }
    bool alive() const { return m_alive; }

    void flash(const QString& name, double ms);
    void digit(int n);
    void oops();
    void hop(double p);
    void celebrate();
    void shake();
    void beat(bool accent);
    void settle();

    static QString moodName(Mood mood);
    static std::optional<Mood> moodFromName(const QString& name);

    // Shape table and outline builders.
    struct Shape {
        std::vector<Outline> eyes;
        double sw = 0;
    };
    // nullptr for an unknown name.
    static const Shape* shapeNamed(const QString& name);
    static QString moodShapeName(Mood mood);
    static Outline line(const Outline& p);
    static Outline rrect(double cx, double cy, double w, double h, double r);
    static Outline arch(double cx);
    static Outline lid(double cx);
    static Outline dot(double cx);
    // n points on a circle of radius r about (cx, cy), from a to b degrees, both ends included.
    static Outline arc(double cx, double cy, double r, double a, double b, int n);
    static Outline resample(const Outline& p);
    static Outline align(const Outline& cur, const Outline& target);
    static int alignShift(const Outline& cur, const Outline& target);

    // Implementation state; public so tests and the painter can inspect it.
    struct Spring {
        double x = 0, v = 0, t = 0, k = 0, c = 0;
    };
    struct EyeMorph {
        Outline cur, from;
        std::optional<Outline> to;
        double t0 = 0, dur = 1;
    };
    enum SpringId { Y, Rot, EarSink, Ear, Btn, BtnR, Ex, Ey, Lift, SpringCount };

    const std::vector<EyeMorph>& eyes() const { return m_eyes; }
    const Spring& spring(SpringId id) const { return m_springs[id]; }
    double clockMs() const { return m_clock; }
    QPointF gaze() const { return m_gaze; }
    bool blinking() const { return m_blinking; }
    std::size_t queueSize() const { return m_queue.size(); }
    double strokeWidth() const { return m_sw; }

signals:
    // Something set the mascot moving (a flash, a hop, a new mood, talk, a blink): a view that
    // draws it slowly should pick up the full rate now.
    void stirred();

private:
    void morph(const QString& name, double ms);
    void enqueue(double at, std::function<void(MascotBrain&)> fn);
    void scheduleLife();
    void lifeStep();
    void settleLater(double ms);
    double uniform(double lo, double hi);

    Mood m_mood;
    bool m_talking = false;
    bool m_muted = false;
    std::optional<QString> m_icon;
    QString m_shape;
    bool m_alive;
    double m_clock = 0;
    std::optional<double> m_last;
    std::vector<std::pair<double, std::function<void()>>> m_queue;
    std::vector<EyeMorph> m_eyes;
    double m_sw = 0, m_sw0 = 0, m_sw1 = 0;
    double m_swT0 = 0, m_swDur = 1;
    std::int64_t m_flashId = 0;
    QPointF m_gaze;
    bool m_blinking = false;
    Spring m_springs[SpringCount];
    std::function<double()> m_random;
};
