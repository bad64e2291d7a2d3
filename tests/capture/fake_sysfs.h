// Builds fake kernel device trees for the video device enumeration: each camera is a USB
// device folder with idVendor/idProduct, an interface folder, and a video4linux node whose
// "device" link points at the interface, as on a real machine.
#pragma once
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

class FakeSysfs {
 public:
  explicit FakeSysfs(const std::string& name) {
    root_ = std::filesystem::temp_directory_path() /
            ("fake-sysfs-" + name + "-" + std::to_string(getpid()));
    std::filesystem::remove_all(root_);
    std::filesystem::create_directories(root_ / "class" / "video4linux");
    std::filesystem::create_directories(root_ / "dev");
  }
  ~FakeSysfs() { std::filesystem::remove_all(root_); }

  std::string sysfs() const { return root_.string(); }
  std::string dev() const { return (root_ / "dev").string(); }

  struct Node {
    int n = 0;
    std::string name = "USB Camera";
    std::string vendor = "046d";
    std::string product = "0825";
    int index = 0;  // 1 for a camera's metadata node
    std::optional<std::string> description;
    bool readable = true;  // false: the node's name cannot be read
    bool usb = true;       // false: no USB parent (a built-in or virtual device)
  };

  void add(const Node& node) {
    std::string port = "1-" + std::to_string(node.n + 1);
    std::filesystem::path usb = root_ / "devices" / "pci0000:00" / "usb1" / port;
    std::filesystem::path interface = usb / (port + ":1.0");
    std::filesystem::create_directories(interface);
    if (node.usb) {
      write(usb / "idVendor", node.vendor + "\n");
      write(usb / "idProduct", node.product + "\n");
    }
    write(interface / "bInterfaceNumber", "00\n");
    std::filesystem::path device = interface / "video4linux" / ("video" + std::to_string(node.n));
    std::filesystem::create_directories(device);
    if (node.readable)
      write(device / "name", node.name + "\n");
    else
      std::filesystem::create_directories(device / "name");  // present but not a readable file
    write(device / "index", std::to_string(node.index) + "\n");
    if (node.description) write(device / "description", *node.description + "\n");
    std::filesystem::create_directory_symlink(std::filesystem::relative(interface, device),
                                              device / "device");
    std::filesystem::path classLink =
        root_ / "class" / "video4linux" / ("video" + std::to_string(node.n));
    std::filesystem::create_directory_symlink(
        std::filesystem::relative(device, classLink.parent_path()), classLink);
  }

  // A webcam, a plate camera (product id given) at node n.
  void addCamera(int n, const std::string& product, int index = 0) {
    Node node;
    node.n = n;
    node.product = product;
    node.index = index;
    add(node);
  }

 private:
  static void write(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path) << text;
  }
  std::filesystem::path root_;
};
