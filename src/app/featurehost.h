// How the main window is divided: a feature (the search, the tool panel's panes, the address
// history, ...) is a class of its own that owns its controls, its files and the handlers of
// its commands, and reaches the main window only through a narrow host interface of its own
// (what it asks of the window, nothing more) and the context every feature gets (below).
//
// The pattern, for every feature:
// - `T<Name>Host`: an abstract class in the feature's header listing what the feature needs
//   of the main window. TMainForm answers it with one adapter class nested in it
//   (mainform_features.cpp), so the window's own members stay private; tests answer it with
//   a fake.
// - The feature's constructor makes what must exist at start (cheap things: bindings of its
//   actions, the loading of a small file) and registers its tool-panel page, if it has one;
//   what is costly (controls, popup menus, dialogs, sessions) is made the first time it is
//   needed.
// - Lifetime: TMainForm makes the features in its constructor, after its frame, and destroys
//   them first thing when it is taken apart (TearDown), in the reverse order, while the
//   frame, its docks and the host still exist. A feature's destructor deletes the controls
//   and menus it made and unbinds what it set on objects that outlive it (the undo
//   provider's events); the actions' handlers it set are not called any more afterwards.
// - Components a feature makes are owned by the main window (so that their names, which
//   "ToolBar.db" and the view commands use, stay the window's), and deleted by the feature.
//
// Main thread only.
#pragma once

namespace classlib {
class TForm;
class TImageList;
}

namespace app {

class TMainActionList;

// What every feature is given: the main window (owner of the feature's components and of its
// dialogs; the feature does not reach into it), the action list its commands run from, and
// the pictures (loaded before any feature is made; they live as long as the window).
struct TFeatureContext {
    classlib::TForm& Form;
    TMainActionList& Actions;
    // The commands' pictures (menus, toolbars), the registry objects (0 binary value,
    // 1 string value, 2 key, 3 value name, 4 undo record, 5 clipped key, 6 history entry) and
    // the key tree's nodes (computer 0/1, root key 2/3, key 4/5).
    classlib::TImageList* ToolBarImages = nullptr;
    classlib::TImageList* RegObjectImages = nullptr;
    classlib::TImageList* RegTreeImages = nullptr;
};

}  // namespace app
