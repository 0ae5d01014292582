// CVodarirDlg: the designer's only top-level window, a modal dialog with the main menu whose
// controls the dispatcher builds per kind of definition. It routes every menu command and control
// notification, keeps Enter from closing it, and asks before closing over unsaved changes.
//
// Lifetime: made and run by CVodarirApp; the window exists from DoModal's start to its end. The
// object is the window's events object and outlives it.
#pragma once

#include "platform/ui.h"

namespace vodarir {

// Template 102, in dialog units.
inline constexpr int kMainDialogWidth = 496;
inline constexpr int kMainDialogHeight = 353;
inline constexpr char kMainDialogName[] = "Dialog";
inline constexpr char kMainDialogCaption[] = "Vodarir";

class CVodarirDlg final : public platform::WindowEvents {
public:
    // Clears DesignerState: the working record belongs to one dialog's life.
    CVodarirDlg();
    ~CVodarirDlg() override;
    CVodarirDlg(const CVodarirDlg&) = delete;
    CVodarirDlg& operator=(const CVodarirDlg&) = delete;

    // Creates the window, initialises it, runs its modal loop and destroys it. Answers the loop's
    // result (kIdCancel when the dialog ended during its initialisation).
    int DoModal();
    platform::WindowId window() const { return window_; }

    // The dialog's overrides: initialisation, OK (nothing: Enter never closes the designer),
    // cancel (the close check: Esc, the folder chooser cancelled, and the close message).
    bool OnInitDialog();
    void OnOK() {}
    void OnCancel();

    void onCommand(platform::ControlId id, int notification) override;
    void onListNotify(platform::ControlId id, int code, int row) override;
    // Keys of the shown editor's controls (the screen layout's undo and redo).
    bool onKeyDown(platform::ControlId id, platform::VirtualKey key,
                   platform::Modifiers mods) override;
    bool onClose() override;

private:
    // At initialisation: opens the file named on the command line, in its folder; true when there
    // was one.
    bool OpenCommandLineFile();
    // At initialisation without such a file: the user chooses the application folder (the
    // remembered one offered first), which is remembered and becomes the current folder.
    void ChooseApplicationFolder();
    void EndDialog(int result);

    platform::WindowId window_ = platform::kNoWindow;
    bool ended_ = false;
};

} // namespace vodarir
