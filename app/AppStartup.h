// Start-up and shut-down of the program's modules, and the main window's run.
#pragma once

// Initialises the modules in their fixed order and finalises, in reverse, those that
// started, when it goes out of scope (also after a fatal start-up error).
class ProgramModules {
public:
    ProgramModules() = default;
    ~ProgramModules();
    ProgramModules(const ProgramModules&) = delete;
    ProgramModules& operator=(const ProgramModules&) = delete;

    // The floating-point unit, graphics, dialogs ("commdlg_help"), the JPEG formats, and
    // the application object (whose title is computed here).
    void Initialize();

private:
    int started_ = 0;
};

// Creates Form1 from its layout, shows it with `showCommand` and runs the message loop
// until it is closed.
void RunMainWindow(int showCommand);
