#pragma once
// What goes wrong with working files, said so that the user can act on it.
#include <string>

// The reason behind errno `error` of a working-file operation, as the second line of a
// message: "The disk is full.", "The data directory /x/ is read-only." ...
std::string working_file_problem(int error);

// Why this run has no folder in the data directory (0 when it has one).
int data_directory_error();

// Creates an empty working file of that name. 0 on success, else the errno (for an empty
// name, the reason no run folder could be made).
int create_working_file(const char* name);

// String-table message `string_id` with the reason for `error` on a second line.
void working_file_message(int string_id, int error);
