#pragma once
// The editor's string table: numbered messages, bitmap names of owner-drawn buttons,
// command status texts with their tool tips, and status-pane sample texts.
#include <vector>

// Text of entry `id`, or nullptr when the table has no such entry.
const char* string_table_text(int id);

// Every id in the table, ascending.
const std::vector<int>& string_table_ids();
