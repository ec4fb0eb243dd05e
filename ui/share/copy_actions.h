#pragma once

#include <QObject>

#include <functional>

class QClipboard;

namespace nelvo {

class AvailabilityModel;

// Performs the three copy commands: writes the flavours of ClipboardContent to the clipboard,
// plays the copy sound and says so. The button, the menu and the shortcuts all end here.
class CopyActions : public QObject {
    Q_OBJECT
public:
    // Pixels per point of the picture (the screen's device pixel ratio).
    using Scale = std::function<double()>;

    CopyActions(AvailabilityModel& model, Scale scale, QObject* parent = nullptr);

    // Each returns whether it wrote the clipboard.
    bool copyAvailability();
    // Does nothing at all (no clipboard change, no sound) with fewer than two zones.
    bool copyTable();
    // Does nothing when the picture does not render.
    bool copyPicture();
    // The chat text and the picture: what a program with no better way to take them gets.
    bool copyTextAndPicture();

Q_SIGNALS:
    // After every copy that wrote the clipboard.
    void copied();

private:
    bool finish(bool wrote);

    AvailabilityModel& m_model;
    Scale m_scale;
};

}  // namespace nelvo
