// The keyword table: makes the command object for one parsed line, reading its arguments
// as the keyword prescribes. Unknown keywords give null; "include" is the parser's own.
#pragma once

#include "script/script_item.h"
#include "script/script_line.h"

#include <memory>

std::unique_ptr<ScriptItem> makeCommand(Scripter& scripter, const ScriptLine& line);
