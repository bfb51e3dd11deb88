// Fuzz target of the crop box: the bytes are a script of what the image view
// and the main window do to it (mouse down, moves and up anywhere, inside and
// outside the picture; resizes, new and turned pictures, the ratio, maximum
// size and enlargement switches, new maximum sizes, copies), each step made
// in the same order of calls as the window makes it. After every step and in
// every report: a box's corners lie in the placement rectangle, the crop lies
// in the picture, the copy size keeps to the maximum while maximum size is
// active, and the outline on the screen is the one the box says it drew.
#include "tests/view/RecordingHost.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <utility>

namespace {

void Require(bool condition) {
    if (!condition)
        std::abort();
}

// Reads the script; past its end every value is 0.
class Script {
public:
    Script(const uint8_t* data, size_t size) : m_pData(data), m_nSize(size) {}
    bool AtEnd() const { return m_nAt >= m_nSize; }
    uint8_t Byte() { return m_nAt < m_nSize ? m_pData[m_nAt++] : 0; }
    uint16_t Word() { return uint16_t(Byte() | Byte() << 8); }
    int32_t Int() { return int32_t(uint32_t(Word()) | uint32_t(Word()) << 16); }
    // 1 to limit, most often small.
    int32_t Size(int32_t limit) {
        const uint16_t w = Word();
        return 1 + int32_t(w & 0x8000 ? (w & 0x7FFF) : (w & 0x3FF)) % limit;
    }

private:
    const uint8_t* m_pData;
    size_t m_nSize;
    size_t m_nAt = 0;
};

// Checks every report as the owner receives it.
class CheckingHost : public RecordingHost {
public:
    void SendStatus() override {
        RecordingHost::SendStatus();
        check();
    }
    std::function<void()> check;
};

// The main window's settings record and client area, reduced to what the
// crop box reads, and the window side of the box.
class Harness {
public:
    explicit Harness(Script& script) : m_Script(script) {
        m_Host.box = &m_Box;
        m_Host.check = [this] { CheckReport(m_Host.LastReport()); };
    }

    // Settings as a configuration file may hold them (any sizes, any
    // switches), a client area and a first picture.
    void Start() {
        const uint8_t switches = m_Script.Byte();
        if (switches & 0x80) {
            m_Settings.m_nMaxWidth = m_Script.Int();
            m_Settings.m_nMaxHeight = m_Script.Int();
        } else {
            m_Settings.m_nMaxWidth = m_Script.Size(4000) - 1;
            m_Settings.m_nMaxHeight = m_Script.Size(4000) - 1;
        }
        m_Settings.m_bSnapRatio = switches & 1;
        m_Settings.m_bMaxSize = switches & 2;
        m_Settings.m_bEnlargement = switches & 4;
        m_Settings.m_bPrevRect = switches & 8;
        m_nClientWidth = m_Script.Size(2000);
        m_nClientHeight = m_Script.Size(2000);
        SetProperties();
        SetBitmap(m_Script.Size(20000), m_Script.Size(20000));
    }

    void Step() {
        switch (m_Script.Byte() % 16) {
        case 0:
        case 1: {
            // The button goes down where the mouse hovers.
            const TPoint p = Point();
            if (m_Box.Tracking())
                m_Box.ButtonUp();
            Use();
            m_Box.MouseMove(p);
            Use();
            m_Box.ButtonDown(p);
            break;
        }
        case 2:
        case 3:
        case 4:
        case 5:
            Use();
            m_Box.MouseMove(Point());
            break;
        case 6:
            // Also a release that arrives without a press (a double click
            // that closed a dialog above the view).
            Use();
            m_Box.ButtonUp();
            break;
        case 7:
            m_nClientWidth = m_Script.Size(2000);
            m_nClientHeight = m_Script.Size(2000);
            Use();
            m_Box.Resize(m_nClientWidth, m_nClientHeight);
            if (m_bPicture)
                m_Host.SendStatus();
            break;
        case 8:
            if (m_Script.Byte() & 1)
                SetBitmap(m_Box.PictureHeight(), m_Box.PictureWidth()); // a quarter turn
            else
                SetBitmap(m_Script.Size(20000), m_Script.Size(20000));
            break;
        case 9:
            if (HasMaxDimensions()) {
                m_Settings.m_bSnapRatio = !m_Settings.m_bSnapRatio;
                SetProperties();
                m_Box.PropertiesChanged();
                if (m_Settings.m_bSnapRatio) {
                    Use();
                    m_Box.SnapToRatio(true);
                }
            } else {
                m_Settings.m_bSnapRatio = false;
            }
            break;
        case 10:
            if (HasMaxDimensions()) {
                m_Settings.m_bMaxSize = !m_Settings.m_bMaxSize;
                if (!m_Settings.m_bMaxSize)
                    m_Settings.m_bEnlargement = false;
                SetProperties();
                m_Box.PropertiesChanged();
            } else {
                m_Settings.m_bMaxSize = false;
            }
            break;
        case 11:
            if (HasMaxDimensions()) {
                m_Settings.m_bEnlargement = !m_Settings.m_bEnlargement;
                if (m_Settings.m_bEnlargement)
                    m_Settings.m_bMaxSize = true;
                SetProperties();
                m_Box.PropertiesChanged();
            } else {
                m_Settings.m_bEnlargement = false;
            }
            break;
        case 12:
            if (HasMaxDimensions()) {
                std::swap(m_Settings.m_nMaxWidth, m_Settings.m_nMaxHeight);
                SetProperties();
                m_Box.InvertRatio();
            }
            break;
        case 13: {
            // The properties dialog closed with OK: new sizes; without both
            // sizes the dialog unchecks the three switches that need them.
            m_Settings.m_nMaxWidth = m_Script.Size(4000) - 1;
            m_Settings.m_nMaxHeight = m_Script.Size(4000) - 1;
            if (!HasMaxDimensions()) {
                m_Settings.m_bSnapRatio = m_Settings.m_bMaxSize = m_Settings.m_bEnlargement = false;
            } else {
                const uint8_t switches = m_Script.Byte();
                m_Settings.m_bSnapRatio = switches & 1;
                m_Settings.m_bMaxSize = switches & 2;
                m_Settings.m_bEnlargement = m_Settings.m_bMaxSize && (switches & 4);
            }
            SetProperties();
            m_Box.PropertiesChanged();
            break;
        }
        case 14:
            if (m_Script.Byte() & 1) {
                m_Settings.m_bPrevRect = !m_Settings.m_bPrevRect;
            } else {
                // A repaint wipes the outline; the box draws it again.
                m_Host.WipeScreen();
                Use();
                m_Box.AfterPaint();
            }
            break;
        case 15: {
            // Copy Image: the crop and the copy size the copy is written with.
            SetProperties();
            TRect crop;
            const TSize copy = m_Box.GetCropGeometry(crop, true);
            CheckGeometry(crop, copy);
            break;
        }
        }
        CheckState();
    }

private:
    bool HasMaxDimensions() const { return m_Settings.m_nMaxWidth > 0 && m_Settings.m_nMaxHeight > 0; }

    // The view hands the rules the settings before each of them runs.
    void Use() { m_Box.UseSettings(m_Settings); }
    void SetProperties() {
        Use();
        m_Box.TakeRatio();
    }

    void SetBitmap(int32_t w, int32_t h) {
        m_bPicture = true;
        Use();
        m_Box.NewPicture(w, h, m_nClientWidth, m_nClientHeight);
        // The repaint that follows wipes the old outline and draws the box.
        m_Host.WipeScreen();
        m_Box.AfterPaint();
        m_Host.SendStatus();
    }

    // Anywhere a mouse message can say (signed 16 bits), or near the box's
    // corners, where the edges and corners are grabbed.
    TPoint Point() {
        const uint8_t how = m_Script.Byte();
        if (how < 64) {
            return {int16_t(m_Script.Word()), int16_t(m_Script.Word())};
        }
        const TPoint base = how & 1 ? m_Box.Corner2() : m_Box.Corner1();
        const int32_t spread = how & 2 ? 64 : 8;
        const int32_t dx = int32_t(m_Script.Byte() % (2 * spread + 1)) - spread;
        const int32_t dy = int32_t(m_Script.Byte() % (2 * spread + 1)) - spread;
        return {base.X + dx, base.Y + dy};
    }

    void CheckGeometry(const TRect& crop, const TSize& copy) const {
        const int32_t w = m_Box.PictureWidth();
        const int32_t h = m_Box.PictureHeight();
        Require(0 <= crop.Left && crop.Left <= crop.Right && crop.Right <= w);
        Require(0 <= crop.Top && crop.Top <= crop.Bottom && crop.Bottom <= h);
        Require(copy.Width >= 0 && copy.Height >= 0);
        if (HasMaxDimensions() && m_Settings.m_bMaxSize)
            Require(copy.Width <= m_Settings.m_nMaxWidth && copy.Height <= m_Settings.m_nMaxHeight);
    }

    void CheckReport(const TStatusData& status) const {
        Require(status.SourceWidth == m_Box.PictureWidth() && status.SourceHeight == m_Box.PictureHeight());
        CheckGeometry(status.Crop, status.CopySize);
    }

    void CheckState() const {
        const TDrawBox& P = m_Box.DrawBox();
        if (m_Box.HasBox() && P.Width() >= 0 && P.Height() >= 0) {
            for (const TPoint c : {m_Box.Corner1(), m_Box.Corner2()})
                Require(P.Left <= c.X && c.X <= P.Right && P.Top <= c.Y && c.Y <= P.Bottom);
        }
        // Inverting twice restores the screen: what is left inverted is the
        // one outline the box believes it shows.
        const std::vector<TRect> screen = m_Host.OnScreen();
        if (m_Box.OutlineShown()) {
            Require(screen.size() == 1 &&
                    screen[0] == RecordingHost::Normalised(m_Box.DrawnCorner1(), m_Box.DrawnCorner2()));
        } else {
            Require(screen.empty());
        }
    }

    Script& m_Script;
    CheckingHost m_Host;
    CCropBox m_Box{m_Host};
    TCropSettings m_Settings;
    int32_t m_nClientWidth = 0;
    int32_t m_nClientHeight = 0;
    bool m_bPicture = false;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Script script(data, size);
    Harness harness(script);
    harness.Start();
    for (int steps = 0; steps < 512 && !script.AtEnd(); ++steps)
        harness.Step();
    return 0;
}
