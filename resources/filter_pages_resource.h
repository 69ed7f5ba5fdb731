#pragma once

// Filter page, list and definition editors.
