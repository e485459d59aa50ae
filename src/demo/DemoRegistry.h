#pragma once
// The registry of the demo prefix: the keys Wine's own prefix has that the
// program reads (system folders, product name, environment) and the cruft
// of every category.

namespace kestrane::demo {

class RegistrySeeder;

// The system and user keys a prefix made by wineboot has and the program reads.
void seedSystemKeys(RegistrySeeder& reg);
// The findings of the registry categories, the privacy lists and the
// applications' recent lists.
void seedRegistryCruft(RegistrySeeder& reg);

}  // namespace kestrane::demo
