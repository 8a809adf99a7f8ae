// Writes every file of the sample demo into a content folder.
#pragma once

#include <filesystem>

// `loose` receives the files the player reads only from disk, never from a container (a
// scene texture's sequence file), for playing the packed container from that folder.
void writeSampleContent(const std::filesystem::path& content, const std::filesystem::path& loose);
