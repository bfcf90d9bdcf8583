// The three passes over one listing: collect the operand texts, number the lines whose
// location is one of them, and write the listing again with labels in their place.
#pragma once

#include "label_table.h"
#include "line_reader.h"
#include "output_writer.h"

// Marks every operand text of the listing as referenced. Throws std::bad_alloc.
void collect_operands(LineReader& input, LabelTable& table);

// Gives each referenced location, at its first line, the next label number, from 0 in file
// order, then drops the names left without a label. Throws std::bad_alloc.
void number_locations(LineReader& input, LabelTable& table);

// Writes every nonempty line as label, TAB, operation and, when there is an operand, TAB and
// the operand or its label, then CR LF. Returns false when writing to the output failed.
bool rewrite_listing(LineReader& input, const LabelTable& table, OutputWriter& output);
