// descriptor_call.cpp - the accessor's body, interpreted by the processor
// the image is for (descriptor_x86.cpp, descriptor_arm64.cpp).
#include "tables/descriptor_call.h"

#include "base/error.h"
#include "descriptor_machine.h"
#include "pe/pe_format.h"

namespace wendol {

DescriptorCall call_function(const MappedImage &image, uint32_t function_rva)
{
    switch (image.file().headers().machine) {
    case pe::kMachineI386:
        return accessor::run_x86(image, function_rva);
    case pe::kMachineAmd64:
        return accessor::run_x64(image, function_rva);
    case pe::kMachineArm64:
        return accessor::run_arm64(image, function_rva);
    default:
        fail("KbdLayerDescriptor at RVA " + hex(function_rva), "an x86, x64 or Arm64 image",
             "machine " + hex(image.file().headers().machine, 4));
    }
}

DescriptorCall call_descriptor(const MappedImage &image, const std::string &name)
{
    const uint64_t address = image.export_address(name);
    return call_function(image, image.rva_of(address, "KbdLayerDescriptor address"));
}

}  // namespace wendol
