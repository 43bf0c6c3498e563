// Placeholder so that the layer library exists before it has code.
namespace dropfix_qc_placeholder {}
