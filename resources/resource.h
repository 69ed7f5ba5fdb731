#pragma once

// Identifiers shared by the resource script and the program's code.
