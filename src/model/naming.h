// Names of every file a split produces: pieces, backup pieces, the join
// batch file and the intermediate files the join file creates and deletes.
#pragma once

#include <cstdint>
#include <string_view>

#include "model/split_job.h"

// Sets SourceFileName, SourceTitle and SourceBaseName from SourcePath. False
// when the source has no directory entry (the names are then left empty).
bool DeriveSourceNames();

// The name cut at its last dot, unless that dot stands first.
std::string_view BaseNameOf(std::string_view name);

// Appends "." and n with at least three digits to the name (".000", ".042",
// ".1000"); truncates at the buffer's capacity.
char* AppendPieceNumber(uint32_t n, char* name, size_t capacity);

// Destination and backup paths of piece n. False when the path would not fit
// 259 characters (the text is then truncated and must not be used).
bool PiecePath(uint32_t n, PathText& path);
bool BackupPiecePath(uint32_t n, PathText& path);

// "Join.bat", or "Join-" + SourceTitle + ".bat" when UseLongJoinBatName is set
// and UseDos83 is clear.
PathText JoinFileName();

// baseName + "." + g as two digits + "_".
PathText IntermediateFileName(std::string_view baseName, uint32_t g);

// The join file's one intermediate file: baseName + ".00_", or ".01_" where
// that is fileName (case aside), so that it is never the rebuilt file.
PathText IntermediateFileName(std::string_view baseName, std::string_view fileName);

// The two names are the same to the file system: they differ at most in the
// case of plain letters.
bool SameNameCaseAside(std::string_view one, std::string_view other);

// Piece name without a folder: baseName + AppendPieceNumber(n); without
// baseName, SourceBaseName's.
PathText PieceName(std::string_view baseName, uint32_t n);
PathText PieceName(uint32_t n);
