#pragma once
// Holds the users of the home's databases back while a new home's databases
// are being made on a thread of their own (HomeSeeding::startSeeding): the
// window opens at once, and whatever reads vsql.db or the demo database
// before they exist waits for them instead of finding no file (or making an
// empty one).

namespace store {

// The seeding is under way from now on (called before its thread starts).
void closeSeedingGate();
// The seeding has ended: waiting callers go on.
void openSeedingGate();
// Blocks until the seeding has ended. Returns at once when none is under way
// and on the seeding thread itself (which is marked with markSeeder()).
void waitForSeeding();
// The calling thread is the one doing the seeding.
void markSeeder();
bool isSeedingGateClosed();

} // namespace store
