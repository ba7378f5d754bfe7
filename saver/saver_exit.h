#pragma once
// The orderly end of the saver (saver and system preview mode).
class Engine;
class GraphicsSession;
class SystemPort;

// Unloads the engine, tells the system no screen saver runs, shows the
// cursor, stops the graphics library and ends the process. Does not return.
[[noreturn]] void EndSaver(Engine& engine, SystemPort& system, GraphicsSession& graphics);
