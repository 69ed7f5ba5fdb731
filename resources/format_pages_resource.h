#pragma once

// Archiver settings pages.
