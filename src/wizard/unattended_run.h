#pragma once

#include <QObject>

namespace dovrelle {

class ConversionWizard;

// The run without a user: started with a settings path, the window loads the file into its
// controls, arms Timer1, and each Next walks on by itself through pages 1 to 5 until the run
// has started. A page that fails halts the walk; the user's Next on that page resumes it.
class UnattendedRun : public QObject {
    Q_OBJECT
public:
    explicit UnattendedRun(ConversionWizard& window);

    // The start-up step: loads the settings file and applies it, then enables Timer1. A file
    // that cannot be loaded leaves its error as the only log line, saved to the log path, and
    // asks the event loop to quit. Throws Error when a value cannot be applied, and before
    // reading anything when the log path is the settings path itself.
    void start();
    // What Next does last in an unattended start.
    void continueWalk();

    bool startFailed() const { return startFailed_; }

private:
    // Next on the current page; true when it moved the wizard on.
    bool performNext();

    ConversionWizard& window_;
    int stepBeforeNext_ = 1;
    bool walking_ = false;
    bool startFailed_ = false;
};

}  // namespace dovrelle
