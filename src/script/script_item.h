// The base of every script command: one object per command line, run in list order by the
// Scripter. execute returns true when the command is done and the next one may run, false to
// be called again on the next frame.
#pragma once

class Scripter;

class ScriptItem {
public:
    explicit ScriptItem(Scripter& scripter) : scripter_(scripter) {}
    virtual ~ScriptItem() = default;
    ScriptItem(const ScriptItem&) = delete;
    ScriptItem& operator=(const ScriptItem&) = delete;

    // scriptTimeMs: the clock as read just before this call, minus the script origin.
    virtual bool execute(float scriptTimeMs) = 0;

protected:
    Scripter& scripter_;
};
