// The precompiled header of the test programs is built with this source; it holds nothing of its own.
