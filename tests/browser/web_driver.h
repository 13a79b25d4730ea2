// A small W3C WebDriver client for the browser tests: one session in one
// of the three engines, started headless on ports picked at start.
//   Chromium: chromedriver, classic WebDriver over HTTP
//   Firefox:  the browser's own WebDriver BiDi (--remote-debugging-port), over a WebSocket
//   WebKit:   WebKitWebDriver with MiniBrowser, classic WebDriver, on a display of its own Xvfb
// Every session draws at one device pixel per CSS pixel. A session may
// prefer dark pages, each engine by its own switch:
//   Chromium: --force-dark-mode
//   Firefox:  the preference layout.css.prefers-color-scheme.content-override = 0
//   WebKit:   MiniBrowser's --dark-mode
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "generation/engine_support.h"

namespace quillane::testing {

class BrowserSession {
 public:
  // Variables added to the environment of the browser and its driver.
  using Environment = std::vector<std::pair<std::string, std::string>>;

  // A session in `engine`, preferring dark pages when asked, or nothing
  // with `why` set (the engine is not installed, or did not start).
  // `environment` reaches the browser's processes (a private
  // FONTCONFIG_FILE, say).
  static std::unique_ptr<BrowserSession> start(Engine engine, std::string& why, bool preferDark = false,
                                               const Environment& environment = {});
  virtual ~BrowserSession() = default;

  // Loads the address and waits for the page and its pictures.
  virtual bool open(const std::string& url) = 0;
  // The value of a JavaScript expression that gives a string, or nothing on
  // an error (with the error in lastError()).
  virtual std::optional<std::string> evaluate(const std::string& expression) = 0;
  // The visible part of the page as PNG bytes.
  virtual std::optional<std::string> screenshot() = 0;

  const std::string& lastError() const { return m_lastError; }

 protected:
  std::string m_lastError;
};

}  // namespace quillane::testing
