#pragma once
// Writes OUT, a copy of the PE32 program IMAGE that carries ARCHIVE as its
// resource TYPE/ID (replacing one there), streaming the archive through a
// small buffer: a payload of a gigabyte needs no memory of that size. The
// resource goes into a section of its own at the end, with a new resource
// directory that also holds every resource the program had.
#include <windows.h>

bool EmbedPayload(const wchar_t* image, const wchar_t* archive, const wchar_t* out, const wchar_t* type, WORD id);
