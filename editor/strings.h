#pragma once
// The editor's string table: numbered messages, bitmap names of owner-drawn buttons,
// command status texts with their tool tips, and status-pane sample texts.
#include <vector>

// Text of entry `id`, or nullptr when the table has no such entry.
const char* string_table_text(int id);

// Every id in the table, ascending.
const std::vector<int>& string_table_ids();

// Main frame: the "status text\ntip" prompts of the bar buttons and menu commands that
// the table above does not hold (editor/command_prompts.cpp).
const char* command_prompt_text(int id);
const std::vector<int>& command_prompt_ids();
