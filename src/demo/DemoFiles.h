#pragma once
// The files of the demo prefix: drive_c laid out as wineboot lays it out,
// with the leftovers every privacy and application scan looks for, and the
// dosdevices link of drive C.

#include <string>

namespace kestrane::demo {

class FileSeeder;

// dosdevices/c: -> ../drive_c (and no other drive), the Windows folder, the
// program folders and the user's folders.
void seedDriveLayout(FileSeeder& files);
// The files the scans find (and a few they must pass over); what the demo
// deleted to the recycle bin goes to `trash`, a folder below the prefix.
void seedFileCruft(FileSeeder& files, const std::string& trash);

}  // namespace kestrane::demo
