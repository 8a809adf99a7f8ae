// The process-wide archive that every lookup falls back to when a file is not on the disk.
// The pointer is not owned; null means there is no archive and everything comes from the disk.
#pragma once

class ResourceArchive;

ResourceArchive* theArchive();
void setTheArchive(ResourceArchive* archive);
