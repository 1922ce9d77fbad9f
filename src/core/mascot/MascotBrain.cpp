#include "core/mascot/MascotBrain.h"

#include <QHash>
#include <QPointer>
#include <QRandomGenerator>
#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <random>

namespace {

constexpr double deg = std::numbers::pi / 180.0;

using Outline = MascotBrain::Outline;
using Shape = MascotBrain::Shape;

Outline concat(Outline a, const Outline& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Shape makeShape(const Outline& e0, const Outline& e1, double sw) {
    return Shape{{MascotBrain::resample(e0), MascotBrain::resample(e1)}, sw};
}

QHash<QString, Shape> buildShapes() {
    using B = MascotBrain;
    QHash<QString, Shape> s;
    s.insert("content", makeShape(B::arch(77), B::arch(123), 6.5));
    s.insert("neutral", makeShape(B::rrect(77, 113, 9.65, 20.7, 4.825),
                                  B::rrect(123, 113, 9.65, 20.7, 4.825), 4));
    s.insert("alert", makeShape(B::dot(77), B::dot(123), 4));
    s.insert("blink", makeShape(B::line({{67.25, 114}, {86.75, 114}}),
                                B::line({{113.25, 114}, {132.75, 114}}), 4));
    s.insert("sleep", makeShape(B::lid(77), B::lid(123), 5.2));
    s.insert("oops", makeShape(B::line({{69, 105}, {83, 114}, {69, 123}}),
                               B::line({{131, 105}, {117, 114}, {131, 123}}), 7));
    const Outline play{{89, 93}, {124, 116}, {89, 139}};
    s.insert("play", makeShape(play, play, 7));
    s.insert("pause", makeShape(B::rrect(88, 116, 8, 40, 1), B::rrect(112, 116, 8, 40, 1), 7));
    const Outline square = B::rrect(100, 116, 34, 34, 2);
    s.insert("stop", makeShape(square, square, 7));
    const Outline speaker{{94, 98}, {94, 134}, {83, 124}, {73, 124}, {73, 108}, {83, 108}};
    s.insert("sound", makeShape(speaker, B::line(B::arc(97, 116, 22, -46, 46, 15)), 7));
    s.insert("muted", makeShape(speaker,
                                B::line({{108, 108},
                                         {116, 116},
                                         {124, 108},
                                         {116, 116},
                                         {124, 124},
                                         {116, 116},
                                         {108, 124}}),
                                7));
    const Outline three =
        B::line(concat(B::arc(100, 105, 11, 200, 450, 32), B::arc(100, 126, 12, 270, 520, 32)));
    s.insert("n3", makeShape(three, three, 9));
    const Outline two =
        B::line(concat(B::arc(100, 106, 13, 195, 385, 25), {{87, 138}, {115, 138}}));
    s.insert("n2", makeShape(two, two, 9));
    const Outline one = B::line({{91, 101}, {102, 94}, {102, 138}});
    s.insert("n1", makeShape(one, one, 9));
    return s;
}

const QHash<QString, Shape>& shapes() {
    static const QHash<QString, Shape> table = buildShapes();
    return table;
}

double ease(double p) {
    const double q = 1 - p;
    return 1 - q * q * q * q;
}

} // namespace

MascotBrain::MascotBrain(Mood mood, bool alive, std::function<double()> random, QObject* parent)
    : QObject(parent), m_mood(mood), m_shape(moodShapeName(mood)), m_alive(alive),
      m_random(std::move(random)) {
    if (!m_random) {
        auto engine = std::make_shared<std::mt19937_64>(QRandomGenerator::system()->generate64());
        m_random = [engine] { return std::uniform_real_distribution<double>(0, 1)(*engine); };
    }
    const Shape* s = shapeNamed(m_shape);
    if (!s)
        s = shapeNamed(QStringLiteral("content"));
    for (const Outline& o : s->eyes)
        m_eyes.push_back(EyeMorph{o, {}, std::nullopt, 0, 1});
    m_sw = m_sw0 = m_sw1 = s->sw;

    static constexpr double kc[SpringCount][2] = {
        {170, 15}, {150, 13}, {320, 26}, {120, 8.5}, {600, 34},
        {140, 10}, {160, 19}, {160, 19}, {240, 17},
    };
    for (int i = 0; i < SpringCount; ++i) {
        m_springs[i].k = kc[i][0];
        m_springs[i].c = kc[i][1];
    }
    if (m_alive)
        scheduleLife();
}

MascotBrain::~MascotBrain() = default;

QString MascotBrain::moodName(Mood mood) {
    switch (mood) {
    case Mood::Content:
        return QStringLiteral("content");
    case Mood::Neutral:
        return QStringLiteral("neutral");
    case Mood::Alert:
        return QStringLiteral("alert");
    case Mood::Sleep:
        return QStringLiteral("sleep");
    case Mood::Done:
        return QStringLiteral("done");
    }
    return QStringLiteral("content");
}

std::optional<MascotBrain::Mood> MascotBrain::moodFromName(const QString& name) {
    for (Mood m : {Mood::Content, Mood::Neutral, Mood::Alert, Mood::Sleep, Mood::Done})
        if (moodName(m) == name)
            return m;
    return std::nullopt;
}

QString MascotBrain::moodShapeName(Mood mood) {
    return mood == Mood::Done ? QStringLiteral("content") : moodName(mood);
}

const MascotBrain::Shape* MascotBrain::shapeNamed(const QString& name) {
    const auto& table = shapes();
    auto it = table.constFind(name);
    return it == table.constEnd() ? nullptr : &it.value();
}

// ---- outline builders ----

MascotBrain::Outline MascotBrain::arc(double cx, double cy, double r, double a, double b, int n) {
    Outline out;
    out.reserve(n);
    for (int i = 0; i < n; ++i) {
        const double th = (a + (b - a) * i / (n - 1)) * deg;
        out.emplace_back(cx + r * std::cos(th), cy + r * std::sin(th));
    }
    return out;
}

MascotBrain::Outline MascotBrain::line(const Outline& p) {
    if (p.size() <= 2)
        return p;
    Outline out = p;
    for (std::size_t i = p.size() - 2; i >= 1; --i)
        out.push_back(p[i]);
    return out;
}

MascotBrain::Outline MascotBrain::rrect(double cx, double cy, double w, double h, double r) {
    const double rr = std::max(0.0, std::min({h / 2, w / 2, r}));
    Outline out{{cx, cy - h / 2}};
    const double l = cx - w / 2 + rr, rt = cx + w / 2 - rr;
    const double t = cy - h / 2 + rr, b = cy + h / 2 - rr;
    const QPointF centres[4] = {{rt, t}, {rt, b}, {l, b}, {l, t}};
    for (int c = 0; c < 4; ++c) {
        const Outline corner = arc(centres[c].x(), centres[c].y(), rr, -90 + 90 * c, 90 * c, 9);
        out.insert(out.end(), corner.begin(), corner.end());
    }
    return out;
}

MascotBrain::Outline MascotBrain::arch(double cx) {
    return concat(arc(cx, 119.85, 13, 200, 340, 19), arc(cx, 119.85, 9.425, 340, 200, 19));
}

MascotBrain::Outline MascotBrain::lid(double cx) {
    return concat(arc(cx, 106.85, 13, 20, 160, 19), arc(cx, 106.85, 10.4, 160, 20, 19));
}

MascotBrain::Outline MascotBrain::dot(double cx) {
    return arc(cx, 113, 10.14, -90, 270, 25);
}

MascotBrain::Outline MascotBrain::resample(const Outline& p) {
    Outline out;
    if (p.empty())
        return out;
    const std::size_t n = p.size();
    std::vector<double> len(n);
    double total = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const QPointF d = p[(i + 1) % n] - p[i];
        len[i] = std::hypot(d.x(), d.y());
        total += len[i];
    }
    out.reserve(outlinePoints);
    std::size_t seg = 0;
    double passed = 0;
    for (int k = 0; k < outlinePoints; ++k) {
        const double target = total * k / outlinePoints;
        while (passed + len[seg] < target && seg + 1 < n) {
            passed += len[seg];
            ++seg;
        }
        const QPointF a = p[seg], b = p[(seg + 1) % n];
        const double u = len[seg] > 0 ? (target - passed) / len[seg] : 0;
        out.push_back(a + (b - a) * u);
    }
    return out;
}

int MascotBrain::alignShift(const Outline& cur, const Outline& target) {
    const int n = static_cast<int>(target.size());
    if (n == 0 || cur.size() < target.size())
        return 0;
    int best = 0;
    double bestCost = std::numeric_limits<double>::infinity();
    for (int s = 0; s < n; ++s) {
        double cost = 0;
        for (int i = 0; i < n; i += 4) {
            const QPointF d = target[(i + s) % n] - cur[i];
            cost += d.x() * d.x() + d.y() * d.y();
        }
        if (cost < bestCost) { // strict: the smallest shift wins a tie
            bestCost = cost;
            best = s;
        }
    }
    return best;
}

MascotBrain::Outline MascotBrain::align(const Outline& cur, const Outline& target) {
    const int s = alignShift(cur, target);
    const std::size_t n = target.size();
    Outline out(n);
    for (std::size_t i = 0; i < n; ++i)
        out[i] = target[(i + s) % n];
    return out;
}

// ---- queue and temporary shapes ----

void MascotBrain::enqueue(double at, std::function<void(MascotBrain&)> fn) {
    // Entries hold the brain only weakly: a callback that finds the brain gone does nothing.
    QPointer<MascotBrain> self(this);
    m_queue.emplace_back(at, [self, fn = std::move(fn)] {
        if (self)
            fn(*self);
    });
}

double MascotBrain::uniform(double lo, double hi) {
    return lo + (hi - lo) * m_random();
}

void MascotBrain::morph(const QString& name, double ms) {
    const Shape* s = shapeNamed(name);
    if (!s)
        return;
    for (std::size_t i = 0; i < m_eyes.size() && i < s->eyes.size(); ++i) {
        EyeMorph& e = m_eyes[i];
        e.from = e.cur;
        e.to = align(e.cur, s->eyes[i]);
        e.t0 = m_clock + 45.0 * static_cast<double>(i); // the right eye follows a beat later
        e.dur = ms;
    }
    m_sw0 = m_sw;
    m_sw1 = s->sw;
    m_swT0 = m_clock;
    m_swDur = ms;
    m_shape = name;
    emit stirred();
}

void MascotBrain::settle() {
    m_icon.reset();
    ++m_flashId;
    const QString n = moodShapeName(m_mood);
    if (m_shape == n)
        return;
    morph(n, 420);
}

void MascotBrain::settleLater(double ms) {
    const std::int64_t id = ++m_flashId;
    enqueue(m_clock + ms, [id](MascotBrain& b) {
        if (b.m_flashId == id)
            b.settle();
    });
}

void MascotBrain::setMood(Mood mood) {
    if (mood == m_mood)
        return;
    m_mood = mood;
    if (!m_icon)
        settle();
    emit stirred();
}

void MascotBrain::setTalking(bool talking) {
    if (talking == m_talking)
        return;
    m_talking = talking;
    emit stirred();
}

void MascotBrain::assignMuted(bool muted) {
    if (muted == m_muted)
        return;
    m_muted = muted;
    emit stirred();
}

void MascotBrain::setMuted(bool muted) {
    if (muted == m_muted)
        return;
    m_muted = muted;
    flash(muted ? QStringLiteral("muted") : QStringLiteral("sound"), 1000);
}

void MascotBrain::flash(const QString& name, double ms) {
    if (name == u"play" || name == u"pause" || name == u"stop")
        m_springs[Btn].v += 260;
    if (name == u"sound")
        m_springs[Ear].v -= 260;
    else if (name == u"muted")
        m_springs[Ear].v += 260;
    m_icon = name;
    morph(name, 360);
    m_springs[Lift].v -= 60;
    settleLater(ms);
}

void MascotBrain::digit(int n) {
    const QString name = QStringLiteral("n") + QString::number(n);
    if (!shapeNamed(name))
        return;
    m_icon = name;
    morph(name, 320);
    m_springs[Y].v -= 90;
    settleLater(1100);
}

void MascotBrain::oops() {
    m_icon = QStringLiteral("oops");
    morph(QStringLiteral("oops"), 260);
    shake();
    settleLater(1100);
}

void MascotBrain::shake() {
    emit stirred();
    m_springs[Rot].v += 170;
    enqueue(m_clock + 110, [](MascotBrain& b) { b.m_springs[Rot].v -= 120; });
}

void MascotBrain::hop(double p) {
    emit stirred();
    m_springs[Y].v += 70 * p;
    m_springs[Lift].v += 40 * p;
    enqueue(m_clock + 90, [p](MascotBrain& b) {
        b.m_springs[Y].v -= 330 * p;
        b.m_springs[Lift].v -= 120 * p;
    });
}

void MascotBrain::celebrate() {
    m_mood = Mood::Done;
    settle();
    hop(1.1);
    enqueue(m_clock + 520, [](MascotBrain& b) {
        b.hop(0.6);
        b.m_springs[Ear].v -= 364;
    });
}

void MascotBrain::beat(bool accent) {
    emit stirred();
    m_springs[Btn].v += accent ? 338 : 208;
    m_springs[Y].v -= accent ? 120 : 55;
    if (accent)
        m_springs[Ear].v -= 156;
}

bool MascotBrain::busy() const {
    if (m_talking || m_clock < m_swT0 + m_swDur)
        return true;
    for (const EyeMorph& e : m_eyes)
        if (e.to)
            return true;
    // The idle sway moves the body by about 1.5 units a second and keeps it within a tenth of a
    // unit of its target; a kicked spring is far faster and farther out.
    for (const Spring& sp : m_springs)
        if (std::abs(sp.v) > 3 || std::abs(sp.x - sp.t) > 0.3)
            return true;
    return false;
}

double MascotBrain::nextStepIn() const {
    double next = std::numeric_limits<double>::infinity();
    for (const auto& entry : m_queue)
        next = std::min(next, entry.first - m_clock);
    return std::max(next, 0.0);
}

MascotBrain::Frame MascotBrain::snapped(Frame f, double unit) {
    const auto len = [unit](double& v) { v = std::round(v / unit) * unit; };
    // A turn of a degrees moves a point 200 units from its pivot by about 200 * a * deg.
    const double turn = unit / (200 * deg);
    const auto angle = [turn](double& v) { v = std::round(v / turn) * turn; };
    for (Outline& eye : f.eyes)
        for (QPointF& p : eye) {
            len(p.rx());
            len(p.ry());
        }
    len(f.strokeWidth);
    len(f.eyeOffset.rx());
    len(f.eyeOffset.ry());
    len(f.y);
    len(f.earSink);
    len(f.btnSink);
    angle(f.rot);
    angle(f.earRot);
    angle(f.btnRot);
    for (Wave& w : f.waves) {
        w.opacity = std::round(w.opacity * 256) / 256;
        len(w.dy);
    }
    return f;
}

// ---- idle life ----

void MascotBrain::scheduleLife() {
    enqueue(m_clock + uniform(1800, 4400), [](MascotBrain& b) { b.lifeStep(); });
}

void MascotBrain::lifeStep() {
    if (!m_icon && !m_talking) {
        const double u = m_random();
        if ((m_mood == Mood::Alert || m_mood == Mood::Neutral) && !m_blinking) {
            m_blinking = true;
            const QString previous = m_shape;
            morph(QStringLiteral("blink"), 85);
            enqueue(m_clock + 105, [previous](MascotBrain& b) {
                b.m_blinking = false;
                // Something else (a flash, a new mood) may have taken the eyes over meanwhile;
                // reopening them on the old shape would undo it.
                if (b.m_shape == u"blink")
                    b.morph(previous, 150);
            });
        } else if (m_mood == Mood::Sleep) {
            m_springs[Y].v += 25; // a breath
        } else if (u < 0.35) {
            m_springs[Lift].v -= 70;
        } else if (u < 0.65) {
            m_springs[Ear].v += m_random() < 0.5 ? 260 : -260;
        } else {
            const double x = uniform(-6, 6);
            const double y = uniform(-2.5, 2.5);
            m_gaze = QPointF(x, y);
            enqueue(m_clock + 1100, [](MascotBrain& b) { b.m_gaze = QPointF(0, 0); });
        }
    }
    scheduleLife();
}

// ---- frame ----

MascotBrain::Frame MascotBrain::frame(double t) {
    // 1. Clock: late frames and clocks that went backwards never make a long step.
    const double tms = t * 1000;
    double dt = (tms - m_last.value_or(tms)) / 1000;
    dt = std::clamp(dt, 0.0, 1.0 / 30);
    m_clock += dt * 1000;
    m_last = tms;

    // 2. Due callbacks, in queue order; what they enqueue waits for a later frame.
    if (!m_queue.empty()) {
        std::vector<std::function<void()>> due;
        auto keep = m_queue.begin();
        for (auto it = m_queue.begin(); it != m_queue.end(); ++it) {
            if (it->first <= m_clock)
                due.push_back(std::move(it->second));
            else
                *keep++ = std::move(*it);
        }
        m_queue.erase(keep, m_queue.end());
        for (auto& fn : due)
            fn();
    }

    // 3.-5. Eyes and stroke width.
    const double T = m_clock / 1000;
    for (EyeMorph& e : m_eyes) {
        if (!e.to)
            continue;
        const double p = std::clamp((m_clock - e.t0) / e.dur, 0.0, 1.0);
        const double k = ease(p);
        const std::size_t n = std::min({e.from.size(), e.to->size(), e.cur.size()});
        for (std::size_t i = 0; i < n; ++i)
            e.cur[i] = e.from[i] + ((*e.to)[i] - e.from[i]) * k;
        if (p >= 1)
            e.to.reset();
    }
    const double q = std::min((m_clock - m_swT0) / m_swDur, 1.0);
    m_sw = m_sw0 + (m_sw1 - m_sw0) * ease(q);

    // 6.-7. Spring targets.
    const double talk =
        m_talking ? std::max(0.0, std::sin(10.5 * T)) * (0.45 * std::sin(3.3 * T) + 0.55) : 0;
    const bool sleep = m_mood == Mood::Sleep, alert = m_mood == Mood::Alert,
               done = m_mood == Mood::Done;
    Spring* s = m_springs;
    if (!m_alive)
        s[Y].t = 0;
    else if (sleep)
        s[Y].t = 1.4 * std::sin(1.1 * T) + 3;
    else
        s[Y].t = 0.9 * std::sin(1.4 * T) - 1.6 * talk;
    const QPointF look = m_icon ? QPointF(0, 0) : m_gaze;
    s[Ex].t = look.x();
    s[Ey].t = look.y();
    s[Rot].t = 0.35 * s[Ex].x +
               (m_talking ? 1.6 * std::sin(3.1 * T) + 0.6 * std::sin(5.7 * T) : 0) +
               (sleep ? 6 : 0);
    s[Lift].t = (done ? -2 : 0) - 2.2 * talk;
    if (sleep) {
        s[Ear].t = 34;
        s[EarSink].t = m_muted ? 10 : 3;
        s[Btn].t = 2;
    } else if (m_muted) {
        s[Ear].t = 10;
        s[EarSink].t = 10;
        s[Btn].t = 0;
    } else {
        s[Ear].t = m_talking ? 2.5 * std::sin(8.5 * T) - 12 : alert ? -16 : done ? -10 : 0;
        s[EarSink].t = 0;
        s[Btn].t = 0;
    }

    // 8. Two semi-implicit Euler sub-steps, with the ear and button dragged by body motion.
    const double h = dt / 2;
    for (int step = 0; step < 2; ++step) {
        const double yv = s[Y].v, rotv = s[Rot].v;
        s[Ear].v += h * (-2.6 * yv - 1.1 * rotv);
        s[BtnR].v -= 1.4 * h * rotv;
        s[Btn].v += 0.25 * h * yv;
        for (Spring& sp : m_springs) {
            sp.v += h * (-sp.k * (sp.x - sp.t) - sp.c * sp.v);
            sp.x += h * sp.v;
        }
    }

    // 9.-10. Waves and the frame.
    Frame f;
    f.eyes.reserve(m_eyes.size());
    for (const EyeMorph& e : m_eyes)
        f.eyes.push_back(e.cur);
    f.strokeWidth = m_sw;
    f.eyeOffset = QPointF(s[Ex].x, s[Ey].x + s[Lift].x);
    f.y = s[Y].x;
    f.rot = s[Rot].x;
    f.earRot = s[Ear].x;
    f.earSink = s[EarSink].x;
    f.btnRot = s[BtnR].x;
    f.btnSink = std::max(s[Btn].x, -2.0);
    if (m_talking && !m_muted) {
        const double a = 2.3 * T;
        const double f1 = std::fmod(a, 1.0), f2 = std::fmod(a + 0.5, 1.0);
        f.waves = {{std::sin(std::numbers::pi * f1), -6 * f1},
                   {0.8 * std::sin(std::numbers::pi * f2), -6 * f2}};
    } else {
        f.waves = {{0, 0}, {0, 0}};
    }
    return f;
}

#include "moc_MascotBrain.cpp"
