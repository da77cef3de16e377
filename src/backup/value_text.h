#pragma once
// Registry value data as text and back, and the escaping used for backup file attributes.
