// Per-level records and the high-score tables.
#pragma once

void loadRecordTables();
