#include "netsnmp_session.h"

#include <net-snmp/net-snmp-config.h>
#include <net-snmp/net-snmp-includes.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace kordavin {
namespace {

constexpr const char* kAppType = "kordavin";
bool started = false;

std::string ErrorText(int snmp_errno) {
  const char* text = snmp_api_errstring(snmp_errno);
  return text ? text : "unknown error";
}

/// net-snmp's transport text: "udp:" for IPv4 literals, "udp6:[...]" for
/// IPv6, and a bare host name so that net-snmp tries UDP over IPv4, then IPv6.
std::string PeerName(const Target& target) {
  const std::string port = std::to_string(target.port);
  switch (target.kind) {
    case Target::Kind::kIpv4:
      return "udp:" + target.host + ":" + port;
    case Target::Kind::kIpv6:
      return "udp6:[" + target.host + "]:" + port;
    case Target::Kind::kHostName:
      break;
  }
  return target.host + ":" + port;
}

SnmpValue ConvertValue(const netsnmp_variable_list& var) {
  switch (var.type) {
    case ASN_INTEGER:
      return SnmpValue::Integer(*var.val.integer);
    case ASN_COUNTER:
    case ASN_GAUGE:
    case ASN_TIMETICKS:
    case ASN_UINTEGER:
      return SnmpValue::Unsigned(static_cast<std::uint32_t>(*var.val.integer & 0xFFFFFFFFul));
    case ASN_COUNTER64:
      return SnmpValue::Counter64((static_cast<std::uint64_t>(var.val.counter64->high) << 32) |
                                  (var.val.counter64->low & 0xFFFFFFFFul));
    case ASN_OCTET_STR:
    case ASN_OPAQUE:
    case ASN_IPADDRESS:
      return SnmpValue::Octets(
          std::string(reinterpret_cast<const char*>(var.val.string), var.val_len));
    case ASN_OBJECT_ID: {
      Oid object_id;
      for (std::size_t i = 0; i < var.val_len / sizeof(oid); ++i)
        object_id.push_back(static_cast<std::uint32_t>(var.val.objid[i]));
      return SnmpValue::ObjectId(std::move(object_id));
    }
    case ASN_NULL:
      return SnmpValue{};
    case SNMP_NOSUCHOBJECT:
      return SnmpValue::Exception(SnmpValue::Type::kNoSuchObject);
    case SNMP_NOSUCHINSTANCE:
      return SnmpValue::Exception(SnmpValue::Type::kNoSuchInstance);
    case SNMP_ENDOFMIBVIEW:
      return SnmpValue::Exception(SnmpValue::Type::kEndOfMibView);
    default: {
      SnmpValue other;
      other.type = SnmpValue::Type::kOther;
      return other;
    }
  }
}

class NetSnmpSession final : public SnmpSession {
 public:
  NetSnmpSession(void* handle, std::string description, const SessionSettings& settings)
      : handle_(handle), description_(std::move(description)), settings_(settings) {}
  ~NetSnmpSession() override { snmp_sess_close(handle_); }
  NetSnmpSession(const NetSnmpSession&) = delete;
  NetSnmpSession& operator=(const NetSnmpSession&) = delete;

  SnmpResponse GetNext(const std::vector<Oid>& oids) override {
    return Exchange(snmp_pdu_create(SNMP_MSG_GETNEXT), oids);
  }

  SnmpResponse GetBulk(int non_repeaters, int max_repetitions,
                       const std::vector<Oid>& oids) override {
    netsnmp_pdu* pdu = snmp_pdu_create(SNMP_MSG_GETBULK);
    if (pdu) {
      pdu->non_repeaters = non_repeaters;
      pdu->max_repetitions = max_repetitions;
    }
    return Exchange(pdu, oids);
  }

 private:
  SnmpResponse Exchange(netsnmp_pdu* pdu, const std::vector<Oid>& oids) {
    if (!pdu) throw SnmpError("out of memory for a request to " + description_);
    for (const Oid& name : oids) {
      std::vector<oid> sub_ids(name.begin(), name.end());
      snmp_add_null_var(pdu, sub_ids.data(), sub_ids.size());
    }
    netsnmp_pdu* answer = nullptr;
    // Sends, waits within the session's timeout and retries, and frees `pdu`.
    int status = snmp_sess_synch_response(handle_, pdu, &answer);
    struct FreeAnswer {
      netsnmp_pdu* pdu;
      ~FreeAnswer() {
        if (pdu) snmp_free_pdu(pdu);
      }
    } free_answer{answer};

    if (status == STAT_TIMEOUT)
      throw NoAnswer("no answer from " + description_ + " within " +
                     std::to_string(settings_.timeout_ms) + " ms and " +
                     std::to_string(settings_.retries) + " retry");
    if (status != STAT_SUCCESS || !answer) {
      int snmp_errno = 0;
      snmp_sess_error(handle_, nullptr, &snmp_errno, nullptr);
      throw SnmpError("request to " + description_ + " failed: " + ErrorText(snmp_errno));
    }

    SnmpResponse response;
    response.error_status = static_cast<int>(answer->errstat);
    response.error_index = static_cast<int>(answer->errindex);
    for (netsnmp_variable_list* var = answer->variables; var; var = var->next_variable) {
      VarBind bind;
      for (std::size_t i = 0; i < var->name_length; ++i)
        bind.oid.push_back(static_cast<std::uint32_t>(var->name[i]));
      bind.value = ConvertValue(*var);
      response.varbinds.push_back(std::move(bind));
    }
    return response;
  }

  void* handle_;
  std::string description_;
  SessionSettings settings_;
};

}  // namespace

void StartNetSnmp() {
  if (started) return;
  // Whatever snmp.conf files, persistent state or MIB files the machine
  // has must not change what the library does: nothing of that is read.
  // Only the session layer is used, so init_snmp (which would read them and
  // set the process's locale) is never called.
  netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_READ_CONFIGS, 1);
  netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DONT_PERSIST_STATE, 1);
  netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_LOAD, 1);
  netsnmp_ds_set_boolean(NETSNMP_DS_LIBRARY_ID, NETSNMP_DS_LIB_DISABLE_PERSISTENT_SAVE, 1);
  // The host's standard output is its report: net-snmp logs nowhere. Without
  // any enabled handler it would fall back to standard error.
  netsnmp_register_loghandler(NETSNMP_LOGHANDLER_NONE, LOG_DEBUG);
  started = true;
}

void StopNetSnmp() {
  if (!started) return;
  snmp_shutdown(kAppType);
  started = false;
}

std::string NetSnmpVersion() { return netsnmp_get_version(); }

std::unique_ptr<SnmpSession> OpenNetSnmpSession(const SessionSettings& settings,
                                                SnmpVersion version) {
  StartNetSnmp();
  const std::string peer = PeerName(settings.target);
  const std::string description = DescribeTarget(settings.target);

  netsnmp_session config;
  snmp_sess_init(&config);
  config.peername = const_cast<char*>(peer.c_str());
  config.version = version == SnmpVersion::kV2c ? SNMP_VERSION_2c : SNMP_VERSION_1;
  std::string community = settings.community;
  config.community = reinterpret_cast<u_char*>(community.data());
  config.community_len = community.size();
  config.timeout = settings.timeout_ms * 1000;
  config.retries = settings.retries;

  void* handle = snmp_sess_open(&config);
  if (!handle) {
    int snmp_errno = 0;
    snmp_error(&config, nullptr, &snmp_errno, nullptr);
    throw SnmpError("cannot reach " + description + ": " + ErrorText(snmp_errno));
  }
  return std::make_unique<NetSnmpSession>(handle, description, settings);
}

}  // namespace kordavin
