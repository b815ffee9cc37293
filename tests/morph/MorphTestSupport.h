#pragma once
// Shared by the morphology tests: the shipped dictionaries and copies of them to damage.
#include <string>
#include <vector>

#include "TestFiles.h"
#include "morph/Morphology.h"

namespace lexmora::test {

// The shipped Morphology folder, read in place.
std::wstring ShippedMorphology();
std::string ReadShipped(const std::wstring& file);

// Writes `bytes` to folder + file (a wide path).
void WriteText(const std::wstring& path, const std::string& bytes);

// The words joined by ", ", for messages.
std::string Joined(const std::vector<std::wstring>& words);

}  // namespace lexmora::test
