#pragma once
// The engine's dialog system: 64 dialog slots, the active dialog (the one shown last), the dialog font, the six
// navigation key lists and the pointer state. Once per frame UpdateDialogs turns the pointer and the navigation
// keys into dialog events; DrawAllDialogs draws every shown dialog into a render target, the active one last.
// Main thread only.
namespace engine {

class BitmapFont;
class Dialog;
class FrameTimer;
class InputDevice;
class RenderTargetBase;

// Clears the slots, the active dialog and the pointer flags and builds the navigation key lists.
void InitDialogSystem();
void FreeNavigationKeys();
// The per-frame input pass: the keyboard pass of the active dialog when it takes keys, then the pointer pass of
// every shown exclusive dialog, or of every shown dialog when none is exclusive, in slot order.
void UpdateDialogs();
// Every shown dialog but the active one in slot order, then the active one, so that it is on top.
void DrawAllDialogs(RenderTargetBase& target);
void HideAllDialogs();

// The font new dialogs take (the game sets it when it loads its fonts); null: dialogs draw no text.
void SetDialogFont(BitmapFont* font);
BitmapFont* GetDialogFont();
Dialog* GetActiveDialog();
// The dialog of an id (1-64), null when the slot is free.
Dialog* GetDialog(int id);
void GetGuiPointer(int& x, int& y);

// The input device and the clock the GUI reads; null (the default) means the engine's device 0 and timer.
void SetDialogInput(InputDevice* input);
void SetDialogTimer(FrameTimer* timer);

// Installs the GUI's engine hooks: init (InitDialogSystem), update (UpdateDialogs) and freeNavigationKeys.
void InstallDialogHooks();

}  // namespace engine
