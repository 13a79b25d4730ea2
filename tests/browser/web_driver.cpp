#include "web_driver.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>
#include <thread>
#include <variant>
#include <vector>

namespace quillane::testing {

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// --- JSON: just what the protocols answer -----------------------------------

struct Json {
  std::variant<std::nullptr_t, bool, double, std::string, std::vector<Json>, std::map<std::string, Json>> value;

  const Json* operator[](const std::string& key) const {
    const auto* object = std::get_if<std::map<std::string, Json>>(&value);
    if (object == nullptr) return nullptr;
    const auto it = object->find(key);
    return it == object->end() ? nullptr : &it->second;
  }
  const std::string* string() const { return std::get_if<std::string>(&value); }
  const std::vector<Json>* array() const { return std::get_if<std::vector<Json>>(&value); }
};

class JsonReader {
 public:
  explicit JsonReader(std::string_view text) : m_text(text) {}
  std::optional<Json> read() {
    Json value = next();
    if (!m_ok) return std::nullopt;
    return value;
  }

 private:
  void blanks() {
    while (m_at < m_text.size() && std::strchr(" \t\r\n", m_text[m_at]) != nullptr) ++m_at;
  }
  Json fail() {
    m_ok = false;
    return {};
  }
  Json next() {
    blanks();
    if (!m_ok || m_at >= m_text.size()) return fail();
    const char c = m_text[m_at];
    if (c == '{') {
      std::map<std::string, Json> object;
      ++m_at;
      blanks();
      if (m_at < m_text.size() && m_text[m_at] == '}') return {(++m_at, std::move(object))};
      while (m_ok) {
        blanks();
        Json key = next();
        blanks();
        if (key.string() == nullptr || m_at >= m_text.size() || m_text[m_at++] != ':') return fail();
        object[*key.string()] = next();
        blanks();
        if (m_at >= m_text.size()) return fail();
        if (m_text[m_at++] == '}') break;
      }
      return {std::move(object)};
    }
    if (c == '[') {
      std::vector<Json> array;
      ++m_at;
      blanks();
      if (m_at < m_text.size() && m_text[m_at] == ']') return {(++m_at, std::move(array))};
      while (m_ok) {
        array.push_back(next());
        blanks();
        if (m_at >= m_text.size()) return fail();
        if (m_text[m_at++] == ']') break;
      }
      return {std::move(array)};
    }
    if (c == '"') return {string()};
    for (const auto& [word, value] :
         {std::pair<std::string_view, Json>{"true", {true}}, {"false", {false}}, {"null", {nullptr}}}) {
      if (m_text.substr(m_at, word.size()) == word) {
        m_at += word.size();
        return value;
      }
    }
    std::size_t used = 0;
    try {
      const double number = std::stod(std::string(m_text.substr(m_at, 32)), &used);
      m_at += used;
      return {number};
    } catch (...) {
      return fail();
    }
  }
  std::string string() {
    std::string out;
    ++m_at;
    while (m_at < m_text.size() && m_text[m_at] != '"') {
      char c = m_text[m_at++];
      if (c != '\\') {
        out += c;
        continue;
      }
      if (m_at >= m_text.size()) break;
      c = m_text[m_at++];
      switch (c) {
        case 'n':
          out += '\n';
          break;
        case 't':
          out += '\t';
          break;
        case 'r':
          out += '\r';
          break;
        case 'b':
          out += '\b';
          break;
        case 'f':
          out += '\f';
          break;
        case 'u': {
          unsigned code = std::stoul(std::string(m_text.substr(m_at, 4)), nullptr, 16);
          m_at += 4;
          if (code >= 0xD800 && code < 0xDC00 && m_text.substr(m_at, 2) == "\\u") {
            const unsigned low = std::stoul(std::string(m_text.substr(m_at + 2, 4)), nullptr, 16);
            m_at += 6;
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
          }
          if (code < 0x80) {
            out += static_cast<char>(code);
          } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
          } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
          } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
          }
          break;
        }
        default:
          out += c;
      }
    }
    if (m_at >= m_text.size()) m_ok = false;
    ++m_at;
    return out;
  }

  std::string_view m_text;
  std::size_t m_at = 0;
  bool m_ok = true;
};

std::string jsonString(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", c);
      out += escape;
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string base64Decoded(std::string_view text) {
  std::string out;
  unsigned bits = 0;
  int count = 0;
  for (const char c : text) {
    int v;
    if (c >= 'A' && c <= 'Z')
      v = c - 'A';
    else if (c >= 'a' && c <= 'z')
      v = c - 'a' + 26;
    else if (c >= '0' && c <= '9')
      v = c - '0' + 52;
    else if (c == '+')
      v = 62;
    else if (c == '/')
      v = 63;
    else
      continue;
    bits = (bits << 6) | static_cast<unsigned>(v);
    count += 6;
    if (count >= 8) {
      count -= 8;
      out += static_cast<char>((bits >> count) & 0xFF);
    }
  }
  return out;
}

// --- Processes and sockets ---------------------------------------------------

// A child in a process group of its own, ended with the group.
class Child {
 public:
  Child() = default;
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;
  ~Child() { stop(); }

  // Starts `argv` with its output in `log`; `keepFd` stays open in the child.
  bool start(const std::vector<std::string>& argv, const std::string& log,
             const std::vector<std::pair<std::string, std::string>>& environment = {}, int keepFd = -1) {
    m_pid = ::fork();
    if (m_pid < 0) return false;
    if (m_pid == 0) {
      ::setpgid(0, 0);
      ::prctl(PR_SET_PDEATHSIG, SIGTERM);  // gone with the tests, however they end
      const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      ::dup2(out, 1);
      ::dup2(out, 2);
      const int devnull = ::open("/dev/null", O_RDONLY);
      ::dup2(devnull, 0);
      for (int fd = 3; fd < 1024; ++fd)
        if (fd != keepFd) ::close(fd);
      for (const auto& [name, value] : environment) ::setenv(name.c_str(), value.c_str(), 1);
      std::vector<char*> args;
      for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
      args.push_back(nullptr);
      ::execvp(args[0], args.data());
      ::_exit(127);
    }
    ::setpgid(m_pid, m_pid);
    return true;
  }
  bool running() {
    if (m_pid <= 0) return false;
    int status = 0;
    if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
      m_pid = -1;
      return false;
    }
    return true;
  }
  void stop() {
    if (m_pid <= 0) return;
    ::kill(-m_pid, SIGTERM);
    for (int k = 0; k < 50; ++k) {
      if (::waitpid(m_pid, nullptr, WNOHANG) == m_pid) {
        m_pid = -1;
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ::kill(-m_pid, SIGKILL);
    ::waitpid(m_pid, nullptr, 0);
    m_pid = -1;
  }

 private:
  pid_t m_pid = -1;
};

// A port no one listens on now: the system's pick for a socket bound to 0.
int freePort() {
  const int s = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  ::bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address);
  ::getsockname(s, reinterpret_cast<sockaddr*>(&address), &size);
  ::close(s);
  return ntohs(address.sin_port);
}

int connectTo(int port) {
  const int s = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    ::close(s);
    return -1;
  }
  return s;
}

bool sendAll(int s, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::send(s, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// Reads at least `want` more bytes into `buffer` within the time left.
bool receive(int s, std::string& buffer, std::size_t want, Clock::time_point deadline) {
  const std::size_t goal = buffer.size() + want;
  std::array<char, 65536> chunk{};
  while (buffer.size() < goal) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    pollfd p{s, POLLIN, 0};
    if (left <= 0 || ::poll(&p, 1, static_cast<int>(left)) <= 0) return false;
    const ssize_t n = ::read(s, chunk.data(), chunk.size());
    if (n <= 0) return false;
    buffer.append(chunk.data(), static_cast<std::size_t>(n));
  }
  return true;
}

std::string readFileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string tail(const std::string& text) { return text.size() > 600 ? text.substr(text.size() - 600) : text; }

BrowserSession::Environment withCrashReporterOff(BrowserSession::Environment environment) {
  environment.emplace_back("MOZ_CRASHREPORTER_DISABLE", "1");
  return environment;
}

// A fresh folder for one engine's profile and logs.
std::string scratch(std::string_view engine) {
  std::random_device random;
  const fs::path folder = fs::temp_directory_path() / ("quillane-" + std::string(engine) + "-" +
                                                       std::to_string(::getpid()) + "-" + std::to_string(random()));
  fs::create_directories(folder);
  return folder.string();
}

// --- Classic WebDriver over HTTP (chromedriver, WebKitWebDriver) -----------

class HttpSession : public BrowserSession {
 public:
  ~HttpSession() override {
    if (!m_session.empty()) request("DELETE", "", "");
    m_driver.stop();
    m_display.stop();
    std::error_code ignored;
    fs::remove_all(m_folder, ignored);
  }

  bool begin(Engine engine, std::string& why, bool preferDark, const Environment& extra) {
    m_folder = scratch(kEngineNames[static_cast<std::size_t>(engine)]);
    m_port = freePort();
    std::string capabilities;
    std::vector<std::pair<std::string, std::string>> environment = extra;
    std::vector<std::string> argv;
    if (engine == Engine::Chromium) {
      argv = {"chromedriver", "--port=" + std::to_string(m_port), "--log-level=SEVERE"};
      capabilities = R"({"browserName":"chrome","goog:chromeOptions":{"binary":"/usr/bin/chromium","args":[)"
                     R"("--headless=new","--no-sandbox","--disable-gpu","--disable-dev-shm-usage",)"
                     R"("--force-device-scale-factor=1","--window-size=900,700",)"
                     R"("--no-first-run","--disable-background-networking","--disable-component-update",)" +
                     std::string(preferDark ? R"("--force-dark-mode",)" : "") + R"("--user-data-dir=)" + m_folder +
                     R"(/profile"]}})";
    } else {
      const std::string mini = miniBrowser();
      if (mini.empty()) {
        why = "MiniBrowser is not installed (webkit2gtk-driver)";
        return false;
      }
      const std::string display = startDisplay(why);
      if (display.empty()) return false;
      environment.insert(environment.end(), {{"DISPLAY", display}, {"GTK_OVERLAY_SCROLLING", "0"}});
      argv = {"WebKitWebDriver", "--port=" + std::to_string(m_port)};
      capabilities = R"({"webkitgtk:browserOptions":{"binary":)" + jsonString(mini) + R"(,"args":["--automation")" +
                     std::string(preferDark ? R"(,"--dark-mode")" : "") + "]}}";
    }
    if (!m_driver.start(argv, m_folder + "/driver.log", environment)) {
      why = "cannot start " + argv[0];
      return false;
    }
    // The driver listens within a few seconds.
    const auto deadline = Clock::now() + std::chrono::seconds(20);
    for (;;) {
      if (const int s = connectTo(m_port); s >= 0) {
        ::close(s);
        break;
      }
      if (!m_driver.running() || Clock::now() > deadline) {
        why = argv[0] + " did not start: " + tail(readFileText(m_folder + "/driver.log"));
        return false;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    const auto answer = request("POST", "/session", R"({"capabilities":{"alwaysMatch":)" + capabilities + "}}",
                                std::chrono::seconds(60));
    const Json* id = answer && (*answer)["value"] ? (*(*answer)["value"])["sessionId"] : nullptr;
    if (id == nullptr || id->string() == nullptr) {
      why = "no session: " + m_lastError + " " + tail(readFileText(m_folder + "/driver.log"));
      return false;
    }
    m_session = *id->string();
    request("POST", "/window/rect", R"({"width":900,"height":700})");
    return true;
  }

  bool open(const std::string& url) override {
    return request("POST", "/url", "{\"url\":" + jsonString(url) + "}").has_value();
  }

  std::optional<std::string> evaluate(const std::string& expression) override {
    const auto value = request(
        "POST", "/execute/sync",
        "{\"script\":" + jsonString("return Promise.resolve(" + expression + ").then(String);") + ",\"args\":[]}");
    if (!value || value->string() == nullptr) return std::nullopt;
    return *value->string();
  }

  std::optional<std::string> screenshot() override {
    const auto value = request("GET", "/screenshot", "");
    if (!value || value->string() == nullptr) return std::nullopt;
    return base64Decoded(*value->string());
  }

 private:
  static std::string miniBrowser() {
    for (const char* root : {"/usr/lib", "/usr/libexec", "/usr/lib64"}) {
      std::error_code error;
      for (fs::recursive_directory_iterator it(root, fs::directory_options::skip_permission_denied, error), end;
           !error && it != end; it.increment(error)) {
        if (it.depth() > 2) it.disable_recursion_pending();
        if (it->path().filename() == "MiniBrowser" &&
            it->path().parent_path().filename().string().starts_with("webkit"))
          return it->path().string();
      }
    }
    return {};
  }

  // An Xvfb of its own, on the display number it picks itself.
  std::string startDisplay(std::string& why) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) return {};
    const bool started = m_display.start(
        {"Xvfb", "-displayfd", std::to_string(pipeFds[1]), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"},
        m_folder + "/xvfb.log", {}, pipeFds[1]);
    ::close(pipeFds[1]);
    std::string number;
    if (started) receive(pipeFds[0], number, 2, Clock::now() + std::chrono::seconds(20));
    ::close(pipeFds[0]);
    while (!number.empty() && (number.back() == '\n' || number.back() == '\r')) number.pop_back();
    if (number.empty()) {
      why = "Xvfb did not start: " + tail(readFileText(m_folder + "/xvfb.log"));
      return {};
    }
    return ":" + number;
  }

  // The "value" of the answer to a command of this session (or, with an
  // address starting with "/session", of the driver), or nothing on an error.
  std::optional<Json> request(const std::string& method, const std::string& path, const std::string& body,
                              std::chrono::seconds timeout = std::chrono::seconds(60)) {
    const std::string address = path.starts_with("/session") ? path : "/session/" + m_session + path;
    const int s = connectTo(m_port);
    if (s < 0) {
      m_lastError = "cannot connect";
      return std::nullopt;
    }
    std::string text = method + " " + address + " HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(m_port) +
                       "\r\nConnection: close\r\nContent-Type: application/json; charset=utf-8\r\n";
    if (method != "GET") text += "Content-Length: " + std::to_string(body.size()) + "\r\n";
    text += "\r\n" + (method != "GET" ? body : std::string());
    std::string answer;
    const auto deadline = Clock::now() + timeout;
    // The whole answer: to the end of its Content-Length, or of the last
    // chunk, or until the driver closes the connection.
    const auto complete = [&] {
      const std::size_t end = answer.find("\r\n\r\n");
      if (end == std::string::npos) return false;
      std::string head = answer.substr(0, end);
      for (char& c : head) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      if (const std::size_t at = head.find("content-length:"); at != std::string::npos)
        return answer.size() >= end + 4 + std::stoul(head.substr(at + 15));
      return head.find("chunked") != std::string::npos && answer.ends_with("0\r\n\r\n");
    };
    if (sendAll(s, text)) {
      while (!complete() && receive(s, answer, 1, deadline)) {
      }
    }
    ::close(s);
    const std::size_t head = answer.find("\r\n\r\n");
    if (head == std::string::npos) {
      m_lastError = "no answer to " + method + " " + path;
      return std::nullopt;
    }
    std::string content = answer.substr(head + 4);
    std::string headers = answer.substr(0, head);
    for (char& c : headers) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (headers.find("transfer-encoding: chunked") != std::string::npos) {
      std::string joined;
      for (std::size_t at = 0;;) {
        const std::size_t end = content.find("\r\n", at);
        if (end == std::string::npos) break;
        const std::size_t size = std::stoul(content.substr(at, end - at), nullptr, 16);
        if (size == 0) break;
        joined += content.substr(end + 2, size);
        at = end + 2 + size + 2;
      }
      content = std::move(joined);
    }
    auto json = JsonReader(content).read();
    const Json* value = json ? (*json)["value"] : nullptr;
    if (value == nullptr) {
      m_lastError = "unreadable answer to " + method + " " + path;
      return std::nullopt;
    }
    if (const Json* error = (*value)["error"]; error != nullptr) {
      const Json* message = (*value)["message"];
      m_lastError = *error->string() + ": " + (message && message->string() ? *message->string() : "");
      return std::nullopt;
    }
    if (path == "/session") return *json;  // the session id is inside "value"
    return *value;
  }

  Child m_display;
  Child m_driver;
  std::string m_folder;
  std::string m_session;
  int m_port = 0;
};

// --- WebDriver BiDi over a WebSocket (Firefox) ------------------------------

class BidiSession : public BrowserSession {
 public:
  ~BidiSession() override {
    if (m_socket >= 0) {
      command("session.end", "{}", std::chrono::seconds(5));
      ::close(m_socket);
    }
    m_browser.stop();
    std::error_code ignored;
    fs::remove_all(m_folder, ignored);
  }

  bool begin(std::string& why, bool preferDark, const Environment& extra) {
    m_folder = scratch("Firefox");
    const std::string profile = m_folder + "/profile";
    fs::create_directories(profile);
    std::ofstream prefs(profile + "/user.js");
    // Classic scroll bars that take room, and nothing that calls home or
    // asks anything at start.
    prefs << "user_pref(\"widget.gtk.overlay-scrollbars.enabled\", false);\n"
             "user_pref(\"ui.useOverlayScrollbars\", 0);\n"
             "user_pref(\"layout.css.devPixelsPerPx\", \"1.0\");\n"
             "user_pref(\"browser.shell.checkDefaultBrowser\", false);\n"
             "user_pref(\"browser.startup.homepage_override.mstone\", \"ignore\");\n"
             "user_pref(\"browser.startup.page\", 0);\n"
             "user_pref(\"datareporting.policy.dataSubmissionEnabled\", false);\n"
             "user_pref(\"toolkit.telemetry.reportingpolicy.firstRun\", false);\n"
             "user_pref(\"app.update.disabledForTesting\", true);\n"
             "user_pref(\"browser.region.network.url\", \"\");\n"
             "user_pref(\"network.captive-portal-service.enabled\", false);\n"
             "user_pref(\"remote.prefs.recommended\", true);\n";
    // 0: pages see a dark scheme, whatever the system's.
    if (preferDark) prefs << "user_pref(\"layout.css.prefers-color-scheme.content-override\", 0);\n";
    prefs.close();
    const std::string log = m_folder + "/firefox.log";
    // Port 0: Firefox picks a free port and names it in its log.
    if (!m_browser.start({"firefox-esr", "--headless", "--no-remote", "--profile", profile, "--remote-debugging-port=0",
                          "--width=900", "--height=700", "about:blank"},
                         log, withCrashReporterOff(extra))) {
      why = "cannot start firefox-esr";
      return false;
    }
    const auto deadline = Clock::now() + std::chrono::seconds(60);
    int port = 0;
    while (port == 0) {
      const std::string text = readFileText(log);
      if (const std::size_t at = text.find("WebDriver BiDi listening on ws://"); at != std::string::npos) {
        const std::size_t colon = text.find(':', at + 33);
        if (colon != std::string::npos) port = std::atoi(text.c_str() + colon + 1);
      }
      if (port != 0) break;
      if (!m_browser.running() || Clock::now() > deadline) {
        why = "firefox-esr did not start its WebDriver BiDi: " + tail(text);
        return false;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    m_socket = connectTo(port);
    const std::string key = "dGhlIHNhbXBsZSBub25jZQ==";
    std::string answer;
    if (m_socket < 0 || !sendAll(m_socket, "GET /session HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) +
                                               "\r\nUpgrade: websocket\r\nConnection: Upgrade\r\nSec-WebSocket-Key: " +
                                               key + "\r\nSec-WebSocket-Version: 13\r\n\r\n")) {
      why = "cannot reach Firefox's WebDriver BiDi";
      return false;
    }
    while (answer.find("\r\n\r\n") == std::string::npos)
      if (!receive(m_socket, answer, 1, Clock::now() + std::chrono::seconds(20))) break;
    if (!answer.starts_with("HTTP/1.1 101")) {
      why = "no WebSocket: " + answer.substr(0, 200);
      return false;
    }
    m_pending = answer.substr(answer.find("\r\n\r\n") + 4);
    if (!command("session.new", R"({"capabilities":{"alwaysMatch":{"acceptInsecureCerts":true}}})")) {
      why = "no session: " + m_lastError;
      return false;
    }
    const auto tree = command("browsingContext.getTree", "{}");
    const Json* contexts = tree ? (*tree)["contexts"] : nullptr;
    if (contexts == nullptr || contexts->array() == nullptr || contexts->array()->empty()) {
      why = "no browsing context: " + m_lastError;
      return false;
    }
    m_context = *(*contexts->array())[0]["context"]->string();
    command("browsingContext.setViewport", R"({"context":)" + jsonString(m_context) +
                                               R"(,"viewport":{"width":885,"height":600},"devicePixelRatio":1})");
    return true;
  }

  bool open(const std::string& url) override {
    return command("browsingContext.navigate",
                   R"({"context":)" + jsonString(m_context) + R"(,"url":)" + jsonString(url) + R"(,"wait":"complete"})")
        .has_value();
  }

  std::optional<std::string> evaluate(const std::string& expression) override {
    const auto result = command("script.evaluate",
                                R"({"expression":)" + jsonString("Promise.resolve(" + expression + ").then(String)") +
                                    R"(,"target":{"context":)" + jsonString(m_context) + R"(},"awaitPromise":true})");
    if (!result) return std::nullopt;
    const Json* type = (*result)["type"];
    const Json* value = (*result)["result"] ? (*(*result)["result"])["value"] : nullptr;
    if (type == nullptr || type->string() == nullptr || *type->string() != "success" || value == nullptr ||
        value->string() == nullptr) {
      const Json* details = (*result)["exceptionDetails"];
      const Json* text = details ? (*details)["text"] : nullptr;
      m_lastError = text && text->string() ? *text->string() : "the script failed";
      return std::nullopt;
    }
    return *value->string();
  }

  std::optional<std::string> screenshot() override {
    const auto result = command("browsingContext.captureScreenshot", R"({"context":)" + jsonString(m_context) + "}");
    const Json* data = result ? (*result)["data"] : nullptr;
    if (data == nullptr || data->string() == nullptr) return std::nullopt;
    return base64Decoded(*data->string());
  }

 private:
  bool sendFrame(const std::string& text) {
    std::string frame = "\x81";
    const std::size_t n = text.size();
    if (n < 126) {
      frame += static_cast<char>(0x80 | n);
    } else if (n < 65536) {
      frame += static_cast<char>(0x80 | 126);
      frame += static_cast<char>(n >> 8);
      frame += static_cast<char>(n & 0xFF);
    } else {
      frame += static_cast<char>(0x80 | 127);
      for (int k = 7; k >= 0; --k) frame += static_cast<char>((n >> (8 * k)) & 0xFF);
    }
    const char mask[4] = {0x12, 0x34, 0x56, 0x78};
    frame.append(mask, 4);
    for (std::size_t k = 0; k < n; ++k) frame += static_cast<char>(text[k] ^ mask[k % 4]);
    return sendAll(m_socket, frame);
  }

  // One whole text message (fragments joined), or nothing.
  std::optional<std::string> readMessage(Clock::time_point deadline) {
    std::string message;
    for (;;) {
      if (m_pending.size() < 2 && !receive(m_socket, m_pending, 2 - m_pending.size(), deadline)) return std::nullopt;
      const auto b0 = static_cast<unsigned char>(m_pending[0]);
      std::size_t length = static_cast<unsigned char>(m_pending[1]) & 0x7F;
      std::size_t header = 2;
      if (length >= 126) {
        const std::size_t extra = length == 126 ? 2 : 8;
        if (m_pending.size() < 2 + extra && !receive(m_socket, m_pending, 2 + extra - m_pending.size(), deadline))
          return std::nullopt;
        length = 0;
        for (std::size_t k = 0; k < extra; ++k) length = (length << 8) | static_cast<unsigned char>(m_pending[2 + k]);
        header += extra;
      }
      if (m_pending.size() < header + length &&
          !receive(m_socket, m_pending, header + length - m_pending.size(), deadline))
        return std::nullopt;
      const std::string payload = m_pending.substr(header, length);
      m_pending.erase(0, header + length);
      const unsigned opcode = b0 & 0x0F;
      if (opcode == 0x8) return std::nullopt;  // closed
      if (opcode == 0x9 || opcode == 0xA) continue;
      message += payload;
      if ((b0 & 0x80) != 0) return message;
    }
  }

  std::optional<Json> command(const std::string& method, const std::string& params,
                              std::chrono::seconds timeout = std::chrono::seconds(60)) {
    const int id = ++m_lastId;
    if (!sendFrame("{\"id\":" + std::to_string(id) + ",\"method\":" + jsonString(method) + ",\"params\":" + params +
                   "}")) {
      m_lastError = "cannot send " + method;
      return std::nullopt;
    }
    const auto deadline = Clock::now() + timeout;
    for (;;) {
      const auto message = readMessage(deadline);
      if (!message) {
        m_lastError = "no answer to " + method;
        return std::nullopt;
      }
      auto json = JsonReader(*message).read();
      const Json* answerId = json ? (*json)["id"] : nullptr;
      if (answerId == nullptr || !std::holds_alternative<double>(answerId->value) ||
          std::get<double>(answerId->value) != id)
        continue;  // an event, or an answer to an earlier command
      if (const Json* error = (*json)["error"]; error != nullptr) {
        const Json* text = (*json)["message"];
        m_lastError = method + ": " + *error->string() + " " + (text && text->string() ? *text->string() : "");
        return std::nullopt;
      }
      const Json* result = (*json)["result"];
      return result ? *result : Json{};
    }
  }

  Child m_browser;
  std::string m_folder;
  std::string m_context;
  std::string m_pending;
  int m_socket = -1;
  int m_lastId = 0;
};

}  // namespace

std::unique_ptr<BrowserSession> BrowserSession::start(Engine engine, std::string& why, bool preferDark,
                                                      const Environment& environment) {
  if (engine == Engine::Firefox) {
    auto session = std::make_unique<BidiSession>();
    if (!session->begin(why, preferDark, environment)) return nullptr;
    return session;
  }
  auto session = std::make_unique<HttpSession>();
  if (!session->begin(engine, why, preferDark, environment)) return nullptr;
  return session;
}

}  // namespace quillane::testing
