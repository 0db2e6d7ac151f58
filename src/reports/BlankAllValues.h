#pragma once

class MemoryTable;

// Keeps every row of the table but makes each of its values an empty text.
void BlankAllValues(MemoryTable& table);
