#pragma once
// The one edit path of the designer: every change to the design runs as a
// named step through an Editor, which applies the design's own rules
// (model::Normalise), records the step for undo and redo, keeps the pictures
// the step replaced, and tells the views.
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "model/document.h"

namespace tessaro::package {

// What the views are told after a step, an undo, a redo or a reset.
struct EditEvent {
    enum class Kind { Step, Undo, Redo, Reset };
    Kind What = Kind::Step;
    std::string Name;                  // the step's name ("Move Entry Up")
    bool Changed = false;              // the design, its names or its pictures changed
    std::vector<std::string> Messages; // what Normalise had to say
};

class Editor {
  public:
    static constexpr int kDefaultLimit = 100;

    // Starts the history with the document as it is now (unmodified). The
    // undo store is a folder of its own under doc.AppDir, removed again by
    // the destructor. At most `limit` steps are kept; older ones are dropped
    // with the pictures only they needed.
    explicit Editor(model::Document& doc, int limit = kDefaultLimit);
    ~Editor();
    Editor(const Editor&) = delete;
    Editor& operator=(const Editor&) = delete;

    model::Document& Doc() { return doc_; }

    using Listener = std::function<void(const EditEvent&)>;
    // Listeners are told in the order they were added; the id removes one.
    int AddListener(Listener fn);
    void RemoveListener(int id);

    // Runs `change` on the document as the step `name`: Begin, change,
    // Commit. When `change` throws, what it changed is still recorded (and can
    // be undone), the views are told, and the error goes on to the caller.
    // Returns Commit's messages.
    std::vector<std::string> Apply(const std::string& name,
                                   const std::function<void(model::Document&)>& change);

    // A step that spans a window session: Begin, then any changes to Doc()
    // (nested Begin/Commit pairs join the outer step), then Commit. Commit of
    // the outermost pair runs Normalise, records the step when the design,
    // the background name, the entry list or a picture it names differ from
    // before, tells the views (also when nothing changed) and returns the
    // messages. Undo and Redo are refused while a step is open.
    //
    // A non-empty `series` joins the step to the one before it when that one
    // was committed last with the same series and nothing was undone, saved
    // or done in between: a drag or a run of nudges is one step.
    void Begin(const std::string& name, const std::string& series = {});
    std::vector<std::string> Commit();
    bool InStep() const { return depth_ > 0; }

    bool CanUndo() const { return depth_ == 0 && current_ > 0; }
    bool CanRedo() const { return depth_ == 0 && current_ + 1 < states_.size(); }
    // The name of the step Undo (Redo) would take back (do again); "" when none.
    std::string UndoName() const;
    std::string RedoName() const;

    // Brings back the design, background name, entry list (with the
    // selection it had) and pictures as they were before (after) the step,
    // then tells the views. Return false when there is nothing to undo (redo).
    // A picture that cannot be written back throws Error naming it, after
    // the step has been taken back and the views told.
    bool Undo();
    bool Redo();

    // Modified: the current state is not the one marked saved. Opening,
    // saving and importing mark it; undoing back to it clears Modified again.
    bool Modified() const { return current_ != saved_; }
    void MarkSaved() { saved_ = current_; }

    // Forgets every step; the document as it is now is the start (unmodified).
    void Reset();

    // Takes the document as it is now as the current state, without a step
    // (for the writer's own rule, which a save applies to the design).
    void Absorb();

    // Captures the pictures the current state names again (after a redraw
    // rewrote a composed picture), without a step.
    void RefreshPictures();

    // Notes kept with each state under a key (the designer keeps the project
    // path and the scheme box's name in them): a step's state starts with the
    // notes of the state before it; undo and redo bring back the notes of the
    // state they reach. SetNote changes the current state's note and every
    // other state's that had the same one; SetCurrentNote the current one's.
    std::string Note(const std::string& key) const;
    void SetNote(const std::string& key, const std::string& note);
    void SetCurrentNote(const std::string& key, const std::string& note);

    // Steps that can be undone, and the bytes the history holds in memory
    // (records, lists and names it owns; shared records counted once).
    int StepCount() const { return int(current_); }
    int HistorySize() const { return int(states_.size()) - 1; }
    std::size_t MemoryUsed() const;

    // The folder of the undo store (ends in '/').
    const std::string& StoreDir() const { return storeDir_; }

  private:
    static constexpr std::size_t kNone = std::size_t(-1);
    struct State;

    std::shared_ptr<State> Capture(const State* previous);
    void CapturePictures(State& s);
    // Returns the message for a picture that could not be written back ("": all).
    std::string Restore(const State& target);
    void DropOldest();
    void Collect();
    void Notify(const EditEvent& e);

    model::Document& doc_;
    std::size_t limit_;
    std::vector<std::shared_ptr<State>> states_;
    std::size_t current_ = 0;
    std::size_t saved_ = 0;
    int depth_ = 0;
    std::string stepName_;
    std::string series_;           // of the open step
    std::string lastSeries_;       // of the step that made state lastSeriesAt_
    std::size_t lastSeriesAt_ = std::size_t(-1);
    std::string storeDir_;
    std::map<std::string, bool> stored_; // keys written to the store
    std::vector<std::pair<int, Listener>> listeners_;
    int nextListener_ = 1;
};

} // namespace tessaro::package
